#include "app/Form1.h"

#include "keys/KeyFrame.h"
#include "words/FieldWords.h"

namespace vrx {

// The body of the key download: build the 200-byte key frame from the 32 key fields, send it, and
// report whether the reader echoed it exactly.

void Form1::DownloadReaderKeys() {
    Guarded([&] {
        QStringList keys;
        keys.reserve(KeyFrame::KeyFieldCount);
        for (const FieldEdit *field : TextPass)
            keys << field->text();
        const KeyFrameOutcome built = BuildKeyFrame(keys, Exchange.KeyFrame);
        if (!built.ok) {
            Messages().Show(ShortKeyText(built.shortField));
            return;
        }
        if (!SendAndWait(Exchange.KeyFrame))
            return; // the window is gone
        if (Exchange.ExchangeStatus == Status::KeysEchoed)
            Messages().Show(tr("下载密码成功！"));
        else
            Messages().Show(tr(
                "下载密码失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！"));
    });
}

} // namespace vrx
