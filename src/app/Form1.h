#pragma once

#include "app/FieldEdit.h"
#include "app/FileChooser.h"
#include "app/FlexGrid.h"
#include "app/ListBox.h"
#include "app/MessageBox.h"
#include "app/Retranslation.h"
#include "app/TrafficTap.h"
#include "app/Twips.h"
#include "app/WindowLanguage.h"
#include "config/FormerFields.h"
#include "fields/AddressText.h"
#include "link/ExchangeState.h"
#include "link/SSock.h"
#include "words/SocketWords.h"

#include <QWidget>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenuBar;
class QPushButton;

namespace vrx {

class FindReaders;
class UserGuide;
struct ChoiceTexts;
struct FoundReader;
struct SettingsChange;

// The main window. Its controls are public control arrays indexed as the operator's model names them
// (Text1[0] is the target reader address, Text1[6] the former one; index 0 of every other array of the
// two groups is the target side, index 1 the former side). Every control carries an object name
// "Name_index" ("Text1_4", "TextPass_31") or "Name" for single controls.
//
// The class is spread over files by concern:
//   Form1Controls.cpp   - creation of every control with its layout values, wiring of the events;
//   Form1Load.cpp       - Form_Load, the start-up that completes and shows the window;
//   Form1Fields.cpp     - the field behaviours and the window's address helper;
//   Form1Operations.cpp - the three command buttons;
//   Form1Exchange.cpp   - the socket, its events and the shared exchange steps;
//   Form1Read.cpp, Form1Configure.cpp, Form1Keys.cpp - the bodies of the three operations;
//   Form1TrafficLog.cpp - the traffic log window;
//   Form1Menu.cpp       - the menu bar above the controls and what its items do;
//   Form1Language.cpp   - the window's texts in the chosen language, set again when it changes;
//   Form1FindReaders.cpp - the "查找读卡器" dialog and what its 使用 does;
//   Form1CopyFormer.cpp - the command that starts the target panel from what was read.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // Runs Form_Initialize, creates the controls, then Form_Load, which shows the window. Every report
    // of every handler goes to `messages`, which must outlive the window. Files are asked for with the
    // toolkit's dialogs.
    explicit Form1(MessageBox &messages, QWidget *parent = nullptr);
    // The same, asking `files` for file names instead; it must outlive the window.
    Form1(MessageBox &messages, FileChooser &files, QWidget *parent = nullptr);
    ~Form1() override;

    // The menu bar, and under it the client area that holds every control below.
    QMenuBar *MenuBar = nullptr;
    QWidget *ClientArea = nullptr;

    // Control arrays of the two parameter groups.
    std::array<FieldEdit *, 12> Text1{};
    std::array<FieldEdit *, 2> TextMac{};
    QCheckBox *Check1 = nullptr;
    std::array<ListBox *, 2> CombUDP{};
    std::array<ListBox *, 2> CombSend{};
    std::array<ListBox *, 2> CombBeep{};
    std::array<ListBox *, 2> CombPass{};
    std::array<QGroupBox *, 2> Frame4{};
    std::array<QGroupBox *, 2> Frame1{};
    std::array<FlexGrid *, 2> MSFlexGrid1{};

    // Addresses, keys, notes and commands.
    std::array<FieldEdit *, 1> TextFindIP{};
    FieldEdit *TextPCIP = nullptr;
    QGroupBox *Frame2 = nullptr;
    FlexGrid *MSFlexGrid2 = nullptr;
    std::array<FieldEdit *, 32> TextPass{};
    QLabel *Label1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label5 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *CommandCopy = nullptr; // "复制原参数到目标"

    // What the operations and the arrival handler share; lives as long as the window.
    ExchangeState Exchange;

    // Parses an address text for the window: a group above 32767 is reported in a message box before
    // the text counts as invalid. The bytes are meaningful only on true.
    bool ParseIpAddress(const QString &text, AddressBytes &bytes);

    // The window's UDP socket control. Not a child object: the window has no socket until an operation
    // binds this one, and it lives exactly as long as the window.
    std::unique_ptr<vrx::SSock> SSock = CreateSocket();

    // The exchange steps the operations share, and the bodies of the operations.
    void OpenReaderLink(const QString &readerAddress);
    void ShowSocketError(const SocketError &error, bool silentReset);
    bool QueryReaderParameters();
    void ShowReaderParameters();
    void WriteReaderParameters();
    void DownloadReaderKeys();

    // Where the window goes on a screen of the given size: centred, not clamped, so a window larger
    // than the screen gets negative coordinates.
    static QPoint CentredPosition(const QSize &screen, const QSize &window);

    // Copies the eleven settings of the former panel into the target panel, unticking 自动 so that the
    // MAC read is kept.
    void CopyFormerToTarget();

    // Opens the "通信记录" window, or brings it to the front; it lists the socket's datagrams recorded
    // since the window started.
    void ShowTrafficLog();
    // What the traffic log holds, open or not.
    const TrafficLog &TrafficRecord() const { return m_traffic.Log(); }
    // Opens the "查找读卡器" dialog (modeless), or brings it to the front with the rows it had.
    void ShowFindReaders();
    // The dialog once opened; a child of the window.
    FindReaders *FindReadersDialog = nullptr;
    // What the dialog's 使用 does: the reader's address into 读卡器IP, the address of the card it
    // answered on into 本机IP, then the read.
    void UseFoundReader(const FoundReader &reader);
    // Tells the dialog, when open, what the last read found or the last configure wrote, so that the
    // rows of that reader show it.
    void TellFindReaders(bool configured);
    // What 批量配置 writes: the target panel's settings but the reader address and MAC, checked as the
    // configure checks them; nothing, after the message, when one of them cannot be written.
    std::optional<SettingsChange> TargetSettingsForBatch();

    // The items of the menu bar that are the window's own.
    void ImportKeys();
    void ExportKeys();
    void ShowAbout();
    // Opens the "使用说明" guide, or brings it to the front.
    void ShowUserGuide();
    UserGuide *UserGuideWindow = nullptr;
    // The about box's text: the program, its version and its licence.
    static QString AboutText();
    // What the 语言 / Language menu's items do: the whole program switches at once, and the choice is
    // remembered for the user.
    void ChooseLanguage(Language language);
    // How the window names a key field to the operator: "第8区B密码".
    static QString KeyFieldName(int field);

public slots:
    void Command1_Click();
    void Command3_Click();
    void Command5_Click();

    void Check1_Click();
    void Text1_Change(int index);
    void Text1_GotFocus(int index);

public:
    void TextPass_KeyPress(int index, char16_t &KeyAscii);

    // Events of SSock.
    void SSock_DataArrival(const QByteArray &datagram, const QString &sender, quint16 senderPort);
    void SSock_Error(const vrx::SocketError &error);
    void SSock_ConnectionRequest(long requestID);
    void SSock_SendComplete();

protected:
    MessageBox &Messages() { return m_messages; }
    // A LanguageChange sets every text again.
    void changeEvent(QEvent *event) override;
    // Runs `apply`, which sets texts through tr(), now and again whenever the language changes. Every
    // text of the window goes through here (docs/translations.md).
    void Translated(std::function<void()> apply);
    void RetranslateListItems();
    // The items of the four lists as they read now, for the find dialog's rows.
    ChoiceTexts ListTexts() const;
    const TwipScale &Twips() const { return m_twips; }

    // Runs one handler and reports any failure inside it by its own description (a socket failure by
    // its SocketError description); the window stays usable. The handler may see the window destroyed
    // during a reply wait, as long as it then returns at once.
    template <typename Handler>
    void Guarded(Handler &&handler);

private:
    // The computer sends from this port to this port of the reader.
    static constexpr int ComputerPort = 1000;
    static constexpr int ReaderPort = 1001;

    std::unique_ptr<vrx::SSock> CreateSocket();
    // Binds the socket to ComputerPort on the address in TextPCIP, as it reads now.
    void BindComputerSide();
    void SetOperationButtonsEnabled(bool enabled);
    bool PrepareForReader();
    // Sends one frame and waits for the reply; false when the window was destroyed during the wait,
    // and then nothing of it may be touched any more.
    bool SendAndWait(const QByteArray &frame);

    Form1(MessageBox &messages, FileChooser *files, QWidget *parent);

    void CreateControls();
    void CreateMenuBar();
    void CreateParameterGroup(int side);
    void CreateAddressRows();
    void CreateKeyGroup();
    void CreateFooter();
    void CreateCopyFormerCommand();
    void ConnectEvents();

    void Form_Load();
    void LayKeyGrid();
    void LayParameterGrid(int side);
    void PlaceParameterRow(int side, int row);

    // The menu's two languages, each checked while the window speaks it.
    std::array<QAction *, 2> m_languageActions{};
    Retranslation m_texts;

    MessageBox &m_messages;
    DialogFileChooser m_dialogs;
    FileChooser &m_files; // m_dialogs unless the window was given another
    TwipScale m_twips;
    // The block the former fields were last filled from, and its texts: reading the same reader again
    // brings the same block, which need not be decoded again.
    QByteArray m_shownBlock;
    FormerFields m_shownFields;
    // Last, so that the log window closes before anything it could report on goes.
    TrafficTap m_traffic;
};

template <typename Handler>
void Form1::Guarded(Handler &&handler) {
    try {
        handler();
    } catch (const SocketException &failure) {
        m_messages.Show(SocketErrorDescription(failure.error()));
    } catch (const std::exception &failure) {
        m_messages.Show(QString::fromUtf8(failure.what()));
    }
}

} // namespace vrx
