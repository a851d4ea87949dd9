#include "app/Form1.h"

#include "fields/AutoMac.h"
#include "fields/CaretTemplate.h"
#include "fields/KeyFilter.h"

#include <QCheckBox>

namespace vrx {

bool Form1::ParseIpAddress(const QString &text, AddressBytes &bytes) {
    const AddressParse parsed = vrx::ParseIpAddress(text);
    if (parsed.overflowed())
        m_messages.Show(OverflowDescription());
    bytes = parsed.bytes;
    return parsed.ok();
}

// Derives the automatic MAC from an address field; a group above 32767 is reported on the way.
static std::optional<QString> MacOfAddressField(const FieldEdit *field, MessageBox &messages) {
    const DerivedMac derived = DeriveMacFromIp(field->text());
    if (derived.overflowed)
        messages.Show(OverflowDescription());
    return derived.mac;
}

void Form1::Check1_Click() {
    Guarded([this] {
        if (Check1->checkState() == Qt::Unchecked) {
            TextMac[0]->setEnabled(true);
            return;
        }
        TextMac[0]->setEnabled(false);
        const std::optional<QString> mac = MacOfAddressField(Text1[6], m_messages);
        // The message box above lets the operator untick the box meanwhile.
        if (mac && Check1->checkState() != Qt::Unchecked)
            TextMac[0]->setText(*mac);
    });
}

void Form1::Text1_Change(int index) {
    if (index != 0)
        return;
    Guarded([this] {
        const std::optional<QString> mac = MacOfAddressField(Text1[0], m_messages);
        if (mac && Check1->checkState() != Qt::Unchecked)
            TextMac[0]->setText(*mac);
    });
}

void Form1::Text1_GotFocus(int index) {
    FieldEdit *field = Text1[index];
    if (IsCaretTemplate(field->text())) {
        field->deselect();
        field->setCursorPosition(0);
    }
}

void Form1::TextPass_KeyPress(int, char16_t &KeyAscii) {
    if (!IsKeyCharAccepted(KeyAscii))
        KeyAscii = 0;
}

} // namespace vrx
