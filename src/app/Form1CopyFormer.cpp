#include "app/Form1.h"

#include "app/Form1Layout.h"

#include <QCheckBox>
#include <QPushButton>

namespace vrx {

// "复制原参数到目标": the target panel starts from what was read, so that changing one setting of a
// working reader is one edit instead of retyping the other ten.

void Form1::CreateCopyFormerCommand() {
    using namespace layout;
    CommandCopy = new QPushButton(ClientArea);
    CommandCopy->setObjectName(QStringLiteral("CommandCopy"));
    Translated([this] {
        CommandCopy->setText(tr("复制原参数到目标"));
        CommandCopy->setToolTip(tr("把原IP信息的十一项参数全部复制到目标IP信息；“自动”随之取消，"
                                   "以保留读到的MAC。"));
    });
    CommandCopy->setGeometry(m_twips.x(CopyCommandLeft), m_twips.y(UpperButtonTop),
                             m_twips.x(CopyCommandWidth), m_twips.y(ButtonHeight));
    connect(CommandCopy, &QPushButton::clicked, this, &Form1::CopyFormerToTarget);
}

// The list position a former box shows, or -1 when it shows a code outside its list: the target box
// then selects nothing, and the configure names the setting, rather than inventing a value.
static int ShownIndex(const ListBox *former) {
    const int index = former->currentIndex();
    return index >= 0 && former->currentText() == former->itemText(index) ? index : -1;
}

void Form1::CopyFormerToTarget() {
    if (m_shownBlock.isEmpty()) {
        m_messages.Show(tr("请先读取读卡器参数，再复制到目标。"));
        return;
    }
    // Unticked first: with 自动 ticked, the address below would replace the MAC that was read.
    Check1->setChecked(false);
    for (int index = 0; index < layout::FormerOffset; ++index)
        Text1[index]->setText(Text1[index + layout::FormerOffset]->text());
    TextMac[0]->setText(TextMac[1]->text());
    const std::array<std::array<ListBox *, 2>, 4> lists = {CombUDP, CombSend, CombBeep, CombPass};
    for (const auto &pair : lists)
        pair[0]->setCurrentIndex(ShownIndex(pair[1]));
}

} // namespace vrx
