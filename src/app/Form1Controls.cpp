#include "app/Form1.h"

#include "app/AccessibleFactory.h"
#include "app/Form1Layout.h"
#include "app/LocalAddressCompleter.h"
#include "app/WindowAccessible.h"
#include "fields/HexText.h"
#include "keys/KeyFrame.h"
#include "setup/FormInitialize.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrx {

namespace {

const QString DefaultKey = QStringLiteral("3C5A7E9B1D2F");

// Layout texts of the six address and port fields of a group, by Text1 index modulo 6.
const std::array<QString, 6> LayoutTexts = {
    QStringLiteral("192.168.0.101"), QStringLiteral("255.255.255.0"), QStringLiteral("192.168.0.1"),
    QStringLiteral("192.168.0.110"), QStringLiteral("1234"),          QStringLiteral("1234"),
};

// Places in layout::RowLabels of the MAC row and of the first of the four list rows.
constexpr int MacLabel = 6;
constexpr int FirstListLabel = 7;

QString IndexedName(const char *name, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

bool IsKeyTextCharacter(char16_t code) {
    return HexDigitValue(code) >= 0;
}

// Screen readers and automation tools find the controls by these names: a group's control by the group
// and its row ("目标IP信息 读卡器IP"), a key field by its sector and key ("第3区A密码").
QString RowName(const QString &group, const QString &row) {
    return group + u' ' + row;
}

} // namespace

Form1::Form1(MessageBox &messages, QWidget *parent)
    : Form1(messages, nullptr, parent) {}

Form1::Form1(MessageBox &messages, FileChooser &files, QWidget *parent)
    : Form1(messages, &files, parent) {}

Form1::Form1(MessageBox &messages, FileChooser *files, QWidget *parent)
    : QWidget(parent)
    , m_messages(messages)
    , m_files(files ? *files : m_dialogs)
    , m_twips(logicalDpiX(), logicalDpiY()) {
    // The control libraries must be in place before any control exists. A failure to put them in place
    // is shown once the window is open: Qt needs neither library, so the program works all the same.
    const std::string componentFailure = Form_Initialize();
    InstallAccessibleFactory<Form1, WindowAccessible>();
    CreateControls();
    ConnectEvents();
    Form_Load();
    if (!componentFailure.empty())
        // The system's error text comes in its own code page, which is what Qt reads as local 8-bit.
        m_messages.Show(tr("控件库未能安装，程序照常运行：%1").arg(QString::fromLocal8Bit(componentFailure)));
}

Form1::~Form1() = default;

void Form1::CreateControls() {
    setObjectName(QStringLiteral("Form1"));
    Translated([this] { setWindowTitle(tr("VRX-K系列在线配置")); });
#ifdef Q_OS_WIN
    // Every Windows ships SimSun (宋体), whatever its language, and the layout's 285-twip rows were made
    // for its 9-point text; Microsoft YaHei's taller lines would crowd them.
    QFont font(QStringLiteral("SimSun"));
    font.setFamilies(
        {QStringLiteral("SimSun"), QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC")});
#else
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("SimSun"), QStringLiteral("Sans Serif")});
#endif
    font.setPointSize(9);
    setFont(font);

    // The menu bar sits above the client area, which keeps the layout's size; the window is as tall
    // as both together and cannot be resized.
    auto *frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->setSizeConstraint(QLayout::SetFixedSize);
    CreateMenuBar();
    frame->setMenuBar(MenuBar);
    ClientArea = new QWidget(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setFixedSize(m_twips.x(layout::FormWidth), m_twips.y(layout::FormHeight));
    frame->addWidget(ClientArea);

    CreateParameterGroup(1);
    CreateParameterGroup(0);
    CreateAddressRows();
    CreateKeyGroup();
    CreateFooter();
    CreateCopyFormerCommand();
    frame->activate(); // the window's size is final before start-up centres it
}

void Form1::CreateParameterGroup(int side) {
    using namespace layout;
    const bool target = side == 0;

    const char *const titleSource = target ? QT_TR_NOOP("目标IP信息") : QT_TR_NOOP("原IP信息");
    const auto title = [titleSource] { return tr(titleSource); };
    // A control of the group goes by the group's title and its row's label, in the window's language.
    const auto nameByRow = [this, title](QWidget *control, const char *row) {
        Translated([control, title, row] { control->setAccessibleName(RowName(title(), tr(row))); });
    };
    auto *group = new QGroupBox(ClientArea);
    Translated([group, title] { group->setTitle(title()); });
    group->setObjectName(IndexedName("Frame4", side));
    group->setGeometry(m_twips.x(GroupLeft[side]), m_twips.y(GroupTop), m_twips.x(GroupWidth),
                       m_twips.y(GroupHeight));
    Frame4[side] = group;

    auto *inner = new QGroupBox(group);
    inner->setObjectName(IndexedName("Frame1", side));
    inner->setGeometry(m_twips.x(InnerLeft), m_twips.y(InnerTop), m_twips.x(InnerWidth),
                       m_twips.y(InnerHeight));
    Frame1[side] = inner;

    auto *grid = new FlexGrid(12, 2, inner);
    grid->setObjectName(IndexedName("MSFlexGrid1", side));
    grid->move(0, m_twips.y(ParameterGridTop));
    MSFlexGrid1[side] = grid;

    // The fields come after the grid so that they lie over its cells.
    for (int row = 0; row < 6; ++row) {
        const int index = Text1IndexOfRow[row] + (target ? 0 : FormerOffset);
        auto *field = new FieldEdit(inner);
        field->setObjectName(IndexedName("Text1", index));
        nameByRow(field, RowLabels[row]);
        field->setFrame(false);
        field->setTextMargins(0, 0, 0, 0);
        field->setInputLimit(IsPortIndex(index) ? PortLimit : AddressLimit);
        field->setText(LayoutTexts[index % 6]);
        Text1[index] = field;
    }

    auto *mac = new FieldEdit(inner);
    mac->setObjectName(IndexedName("TextMac", side));
    nameByRow(mac, RowLabels[MacLabel]);
    mac->setInputLimit(MacLimit);
    mac->resize(m_twips.x(MacWidth), m_twips.y(MacHeight));
    mac->setEnabled(false); // target: the automatic box starts ticked; former: never editable
    mac->setReadOnly(!target);
    TextMac[side] = mac;

    if (target) {
        Check1 = new QCheckBox(inner);
        Check1->setObjectName(QStringLiteral("Check1"));
        Translated([this] { Check1->setText(tr("自动")); });
        nameByRow(Check1, QT_TR_NOOP("自动"));
        Check1->resize(m_twips.x(CheckWidth), m_twips.y(CheckHeight));
        Check1->setChecked(true);
    } else {
        mac->setText(QString());
    }

    const ListBox::Kind pickOnTarget = target ? ListBox::Kind::PickOnly : ListBox::Kind::Editable;
    const auto makeList = [&](const char *name, int label, ListBox::Kind kind, auto items) {
        auto *list = new ListBox(kind, inner);
        list->setObjectName(IndexedName(name, side));
        nameByRow(list, RowLabels[label]);
        for (const char *item : items)
            list->addItem(tr(item));
        list->setCurrentIndex(-1);
        return list;
    };
    CombUDP[side] = makeList("CombUDP", FirstListLabel, ListBox::Kind::Editable, ProtocolItems);
    CombSend[side] = makeList("CombSend", FirstListLabel + 1, ListBox::Kind::Editable, HeartbeatItems);
    CombBeep[side] = makeList("CombBeep", FirstListLabel + 2, pickOnTarget, std::array<const char *, 0>{});
    CombPass[side] = makeList("CombPass", FirstListLabel + 3, pickOnTarget, std::array<const char *, 0>{});
}

void Form1::CreateAddressRows() {
    using namespace layout;
    const auto makeRow = [&](const char *labelName, const char *caption, const char *fieldName, int top,
                             const QString &text) {
        auto *label = new QLabel(ClientArea);
        label->setObjectName(QLatin1String(labelName));
        label->setGeometry(m_twips.x(AddressLabelLeft), m_twips.y(top), m_twips.x(AddressLabelWidth),
                           m_twips.y(AddressFieldHeight));
        auto *field = new FieldEdit(ClientArea);
        field->setObjectName(QLatin1String(fieldName));
        Translated([label, field, caption] {
            label->setText(tr(caption));
            field->setAccessibleName(label->text().chopped(1)); // as the label reads, without its colon
        });
        label->setBuddy(field);
        field->setGeometry(m_twips.x(AddressFieldLeft), m_twips.y(top), m_twips.x(AddressFieldWidth),
                           m_twips.y(AddressFieldHeight));
        field->setText(text);
        return std::pair{label, field};
    };
    std::tie(Label1, TextFindIP[0]) = makeRow("Label1", QT_TR_NOOP("读卡器IP:"), "TextFindIP_0", AddressTop,
                                              QStringLiteral("192.168.0.101"));
    std::tie(Label5, TextPCIP) = makeRow("Label5", QT_TR_NOOP("本机IP:"), "TextPCIP",
                                         AddressTop + AddressRowStep, QStringLiteral("192.168.0.110"));
    new LocalAddressCompleter(TextPCIP);

    const auto makeButton = [&](const char *name, const char *caption, int left) {
        auto *button = new QPushButton(ClientArea);
        Translated([button, caption] { button->setText(tr(caption)); });
        button->setObjectName(QLatin1String(name));
        button->setGeometry(m_twips.x(left), m_twips.y(UpperButtonTop), m_twips.x(ButtonWidth),
                            m_twips.y(ButtonHeight));
        return button;
    };
    Command1 = makeButton("Command1", QT_TR_NOOP("读取读卡器参数"), Command1Left);
    Command3 = makeButton("Command3", QT_TR_NOOP("配置读卡器参数"), Command3Left);
}

void Form1::CreateKeyGroup() {
    using namespace layout;
    Frame2 = new QGroupBox(ClientArea);
    Translated([this] { Frame2->setTitle(tr("准备下载的密码")); });
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(m_twips.x(KeyGroupLeft), m_twips.y(KeyGroupTop), m_twips.x(KeyGroupWidth),
                        m_twips.y(KeyGroupHeight));

    MSFlexGrid2 = new FlexGrid(9, 6, Frame2);
    MSFlexGrid2->setObjectName(QStringLiteral("MSFlexGrid2"));
    MSFlexGrid2->setDefaultRowHeight(m_twips.y(KeyGridHeadingHeight));
    MSFlexGrid2->setGeometry(m_twips.x(KeyGridLeft), m_twips.y(KeyGridTop), m_twips.x(KeyGridWidth),
                             m_twips.y(KeyGridHeadingHeight * 9));

    for (int index = 0; index < 32; ++index) {
        auto *field = new FieldEdit(Frame2);
        field->setObjectName(IndexedName("TextPass", index));
        Translated([field, index] { field->setAccessibleName(KeyFieldName(index)); });
        field->setInputLimit(KeyLimit);
        field->setCharacterFilter(IsKeyTextCharacter);
        const int width = index < 16 ? KeyFieldWidthLow : KeyFieldWidthHigh;
        field->resize(m_twips.x(width), m_twips.y(KeyFieldHeight));
        field->setText(DefaultKey);
        field->fitFontTo(DefaultKey);
        TextPass[index] = field;
    }
}

void Form1::CreateFooter() {
    using namespace layout;
    Label3 = new QLabel(ClientArea);
    Translated([this] {
        Label3->setText(tr("下载密码说明：配置的内容中，要选择有使用读卡器内部 或者 "
                           "读写命令中的密码，如果使用读卡器内部密码验证，才需要下载密码到读卡中；"
                           "如果使用读写命令中密码，就不用下载密码到读卡器中了。"));
    });
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Label3->setAutoFillBackground(true);
    QPalette notePalette = Label3->palette();
    notePalette.setColor(QPalette::Window, QColor(224, 224, 224));
    Label3->setPalette(notePalette);
    Label3->setGeometry(m_twips.x(NoteLeft), m_twips.y(NoteTop), m_twips.x(NoteWidth), m_twips.y(NoteHeight));

    Command5 = new QPushButton(ClientArea);
    Translated([this] { Command5->setText(tr("下载读卡器密码")); });
    Command5->setObjectName(QStringLiteral("Command5"));
    Command5->setGeometry(m_twips.x(Command5Left), m_twips.y(Command5Top), m_twips.x(ButtonWidth),
                          m_twips.y(ButtonHeight));
}

void Form1::ConnectEvents() {
    for (int index = 0; index < int(Text1.size()); ++index) {
        connect(Text1[index], &FieldEdit::Change, this, [this, index] { Text1_Change(index); });
        connect(Text1[index], &FieldEdit::GotFocus, this, [this, index] { Text1_GotFocus(index); });
    }
    for (int index = 0; index < int(TextPass.size()); ++index)
        TextPass[index]->setKeyPressHandler(
            [this, index](char16_t &code) { TextPass_KeyPress(index, code); });
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
}

} // namespace vrx
