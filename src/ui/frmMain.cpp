#include "ui/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <limits>

#include "base/errors.h"
#include "base/quoted.h"
#include "conversion/conversion_run.h"
#include "formats/tile_grid.h"
#include "ui/WindowLook.h"

namespace quorbel::ui {
namespace {

const QString kCaption = QStringLiteral("Varnick's super-cool awsome Quorbel program");
const QString kBitmapFilter = QStringLiteral("Bitmap Files|*.bmp");
const QString kLevelFilter = QStringLiteral("lvl Files|*.lvl");

template <typename Control>
Control* Place(QWidget* parent, const char* name, QRect twips) {
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twips);
    return control;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QRect twips) {
    auto* label = Place<QLabel>(parent, name, twips);
    label->setText(QLatin1String(caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* MakeTextBox(QWidget* parent, const char* name, QRect twips) {
    auto* box = Place<QLineEdit>(parent, name, twips);
    box->setMaxLength(std::numeric_limits<int>::max());  // any length of text
    return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, QRect twips) {
    auto* button = Place<QPushButton>(parent, name, twips);
    button->setText(QLatin1String(caption));
    button->setAutoDefault(false);  // Enter and Escape press no button
    button->setDefault(false);
    return button;
}

// Display form of a text with CR LF line breaks, and back.
QString ShownText(const std::string& text) {
    return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The bytes of a path in a box. A name whose bytes the toolkit could not read as text holds U+FFFD
// where they were; they are lost, and the name would reach another file.
std::string PathBytes(const QString& text) {
    if (text.contains(QChar::ReplacementCharacter)) {
        throw FileError("the path " + Quoted(text.toStdString()) +
                        " holds U+FFFD in place of bytes the window cannot show as text, so it "
                        "names no file the window can reach; rename the file or give its name "
                        "on the command line");
    }
    return QFile::encodeName(text).toStdString();
}

std::string StoredText(const QString& shown) {
    QString text = shown;
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

}  // namespace

frmMain::frmMain(std::unique_ptr<CommonDialog> dialog)
    : cd_(dialog ? std::move(dialog) : std::make_unique<QtCommonDialog>()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kCaption);
    setWindowIcon(ProgramIcon());
    setFont(CaptionFont());
    setFixedSize(TwipsRect(0, 0, 5070, 4800).size());
    // A fixed layout: the window can be minimized and closed, not resized or maximized.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    SetTabOrder();
}

frmMain::~frmMain() = default;

void frmMain::BuildControls() {
    // Labels first: where a label's box reaches under a text box, the text box lies on top.
    Label1 = MakeLabel(this, "Label1", "Monochrome Path:", TwipsRect(120, 120, 1455, 255));
    Label2 = MakeLabel(this, "Label2", "Tileset Path:", TwipsRect(600, 480, 1095, 255));
    Label4 = MakeLabel(this, "Label4", "Tile number to use:", TwipsRect(120, 840, 1455, 255));
    Label3 = MakeLabel(this, "Label3", "Output File Path:", TwipsRect(240, 1200, 1215, 255));
    L = MakeLabel(this, "L", "Status:", TwipsRect(120, 4200, 4815, 495));
    L->setWordWrap(true);

    txtPic = MakeTextBox(this, "txtPic", TwipsRect(1560, 120, 2295, 285));
    txtTile = MakeTextBox(this, "txtTile", TwipsRect(1560, 480, 2295, 285));
    txtTileNum = MakeTextBox(this, "txtTileNum", TwipsRect(1560, 840, 2295, 285));
    txtTileNum->setText(QString::number(kDefaultTile));
    txtOut = MakeTextBox(this, "txtOut", TwipsRect(1560, 1200, 2295, 285));
    Label1->setBuddy(txtPic);
    Label2->setBuddy(txtTile);
    Label4->setBuddy(txtTileNum);
    Label3->setBuddy(txtOut);

    Command2 = MakeButton(this, "Command2", "...", TwipsRect(3960, 120, 975, 255));
    Command3 = MakeButton(this, "Command3", "...", TwipsRect(3960, 480, 975, 255));
    Command5 = MakeButton(this, "Command5", "...", TwipsRect(3960, 840, 975, 255));
    Command4 = MakeButton(this, "Command4", "...", TwipsRect(3960, 1200, 975, 255));
    Command1 = MakeButton(this, "Command1", "Be really cool and make me a leet map!",
                          TwipsRect(120, 1560, 4815, 495));
    Command2->setAccessibleName(QStringLiteral("Browse for the monochrome bitmap"));
    Command3->setAccessibleName(QStringLiteral("Browse for the tileset"));
    Command5->setAccessibleName(QStringLiteral("Choose the tile number"));
    Command4->setAccessibleName(QStringLiteral("Browse for the output file"));

    txtDebug = Place<QPlainTextEdit>(this, "txtDebug", TwipsRect(120, 2160, 4815, 1935));
    txtDebug->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDebug->setTabChangesFocus(true);
    txtDebug->setAccessibleName(QStringLiteral("Header report"));

    for (QLineEdit* path : {txtPic, txtTile, txtOut}) {
        path->installEventFilter(this);
    }
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this,
            [this] { Browse(kBitmapFilter, false, txtPic); });
    connect(Command3, &QPushButton::clicked, this,
            [this] { Browse(kLevelFilter, false, txtTile); });
    connect(Command4, &QPushButton::clicked, this, [this] { Browse(kLevelFilter, true, txtOut); });
    connect(Command5, &QPushButton::clicked, this, &frmMain::Command5_Click);
}

void frmMain::SetTabOrder() {
    const QWidget* order[] = {txtPic,     txtTile,  txtOut,   Command1, txtDebug,
                              txtTileNum, Command2, Command3, Command4, Command5};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
    }
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    txtPic->setFocus(Qt::OtherFocusReason);
}

void frmMain::Command1_Click() noexcept {
    if (running_) {
        return;
    }
    running_ = true;
    RunConversion(*this);
    running_ = false;
}

void frmMain::Browse(const QString& filter, bool save, QLineEdit* target) {
    cd_->SetFilter(filter);
    if (save) {
        cd_->ShowSave(this);
    } else {
        cd_->ShowOpen(this);
    }
    if (cd_->FileName().isEmpty()) {
        return;
    }
    target->setText(cd_->FileName());
}

void frmMain::Command5_Click() {
    emit chooserWanted();
}

// Closing ends the program with every window. During a run the run is asked to stop; it removes
// its unfinished output when its current yield returns, and the event loop then ends.
void frmMain::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closing();
    if (running_) {
        stopRequested_ = true;
        if (openMessage_ != nullptr) {
            openMessage_->reject();
        }
    }
    hide();
    QCoreApplication::quit();
}

// A file dropped on a path box replaces its text with the file's path.
bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr || (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop)) {
        return QWidget::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QList<QUrl> urls = drop->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return QWidget::eventFilter(watched, event);
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        box->setText(urls.front().toLocalFile());
    }
    return true;
}

std::string frmMain::FieldText(Field field) const {
    switch (field) {
        case Field::txtTileNum:
            return txtTileNum->text().toStdString();
        case Field::txtTile:
            return PathBytes(txtTile->text());
        case Field::txtPic:
            return PathBytes(txtPic->text());
        case Field::txtOut:
            return PathBytes(txtOut->text());
    }
    return std::string();
}

void frmMain::SetCommand1Enabled(bool enabled) {
    Command1->setEnabled(enabled);
}

void frmMain::SetStatusCaption(const std::string& caption) {
    L->setText(QString::fromStdString(caption));
}

// The box shows LF where the report has CR LF; its exact text is kept beside it. Text the user
// has typed since is read from the box itself.
std::string frmMain::ReportText() const {
    const QString shown = txtDebug->toPlainText();
    return shown == shownReport_ ? report_ : StoredText(shown);
}

void frmMain::SetReportText(const std::string& text) {
    report_ = text;
    shownReport_ = ShownText(text);
    txtDebug->setPlainText(shownReport_);
}

void frmMain::ShowCriticalMessage(const std::string& prompt, const std::string& title) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                    QString::fromStdString(prompt), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("MessageBox"));
    openMessage_ = &box;
    box.exec();
    openMessage_ = nullptr;
}

void frmMain::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QString frmMain::TilesetPathText() const {
    return txtTile->text();
}

void frmMain::SetTileNumberText(const QString& text) {
    txtTileNum->setText(text);
}

}  // namespace quorbel::ui
