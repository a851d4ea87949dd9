#include "app/Form1.h"

#include "app/FindReaders.h"
#include "config/ParameterBlock.h"
#include "config/SettingsChange.h"
#include "words/FieldWords.h"

#include <QPushButton>

namespace vrx {

void Form1::ShowFindReaders() {
    if (!FindReadersDialog) {
        FindReadersDialog = new FindReaders(
            m_messages, m_files, ListTexts(), [this] { return TextPCIP->text(); }, this);
        connect(FindReadersDialog, &FindReaders::readerChosen, this, &Form1::UseFoundReader);
        FindReadersDialog->SetWindowWork({[this] { return TargetSettingsForBatch(); },
                                          [this] {
                                              QStringList keys;
                                              for (const FieldEdit *field : TextPass)
                                                  keys << field->text();
                                              return keys;
                                          }});
    }
    if (FindReadersDialog->isVisible()) { // open already, perhaps behind the window
        FindReadersDialog->raise();
        FindReadersDialog->activateWindow();
    }
    FindReadersDialog->show();
}

void Form1::UseFoundReader(const FoundReader &reader) {
    TextFindIP[0]->setText(reader.address);
    // The reader answered on a card, by broadcast or to a scan: that card's address reaches it.
    if (!reader.cardAddress.isEmpty())
        TextPCIP->setText(reader.cardAddress);
    // As the button does: not while an operation that disables it waits for its reply.
    Command1->click();
}

std::optional<SettingsChange> Form1::TargetSettingsForBatch() {
    SettingsChange change;
    change.values.insert(SettingField::SubnetMask, Text1[1]->text());
    change.values.insert(SettingField::Gateway, Text1[2]->text());
    change.values.insert(SettingField::ServerIp, Text1[3]->text());
    change.values.insert(SettingField::ReaderPort, Text1[4]->text());
    change.values.insert(SettingField::ServerPort, Text1[5]->text());
    const std::array<std::pair<SettingField, ListBox *>, 4> lists = {
        {{SettingField::Protocol, CombUDP[0]},
         {SettingField::Heartbeat, CombSend[0]},
         {SettingField::Beep, CombBeep[0]},
         {SettingField::KeySource, CombPass[0]}}};
    for (const auto &[field, list] : lists) {
        const QStringList words = ChoiceWords(field);
        if (list->currentIndex() < 0 || list->currentIndex() >= words.size()) {
            m_messages.Show(tr("请先在目标IP信息中选择“%1”。").arg(list->accessibleName().section(u' ', 1)));
            return std::nullopt;
        }
        change.values.insert(field, words.at(list->currentIndex()));
    }
    // Checked as the configure checks it, before any reader is asked; the first bad field is named.
    const EncodedChange encoded = EncodeChange(CheckingBase(), change);
    if (!encoded.ok) {
        for (const QString &message : TargetProblemTexts(encoded.problems))
            m_messages.Show(message);
        return std::nullopt;
    }
    return change;
}

void Form1::TellFindReaders(bool configured) {
    if (!FindReadersDialog)
        return;
    if (configured)
        FindReadersDialog->ReaderConfigured(Exchange.ReaderAddress,
                                            ParameterBlock::decode(Exchange.SendBuffer));
    else
        FindReadersDialog->ReaderRead(Exchange.ReaderAddress, ParameterBlock::decode(Exchange.ReceiveBuffer));
}

} // namespace vrx
