#include "ui/Form1.h"

#include <QCloseEvent>
#include <QFile>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>

#include "base/errors.h"
#include "conversion/checked_int.h"
#include "conversion/number_codec.h"
#include "formats/picture_file.h"
#include "formats/tile_grid.h"
#include "pictures/picture_decoder.h"
#include "ui/WindowLook.h"

namespace quorbel::ui {
namespace {

constexpr auto kFirstTile = static_cast<std::int16_t>(kDefaultTile);
const QString kCaptionStart = QStringLiteral("Tile Chooser [Tile Number: ");

QString Caption(std::int16_t tile) {
    return kCaptionStart + QString::number(tile) + QLatin1Char(']');
}

std::int16_t CellIndex(float coordinate) {
    return modModule::RoundDown(modModule::DecimalText(coordinate / float{kCellSide}));
}

// The BMP image at the start of the file; anything after it (a level's records) is ignored. The
// file is read by the core's file layer, by the bytes of its name; a name the toolkit could not
// read as text (U+FFFD in it) would reach another file and is not opened.
QPixmap LoadPicture(const QString& path, QString& problem) {
    if (path.isEmpty()) {
        return QPixmap();
    }
    const auto fail = [&](const QString& why) {
        problem = QStringLiteral("Cannot show \"%1\": %2").arg(path, why);
        return QPixmap();
    };
    if (path.contains(QChar::ReplacementCharacter)) {
        return fail(QStringLiteral("the name holds bytes the window cannot show as text"));
    }
    try {
        const std::string bytes = ReadPictureFile(QFile::encodeName(path).toStdString());
        // The conversion copies a tileset's leading BMP, so the chooser shows a BMP only.
        constexpr PictureKind kTilesetKinds[] = {PictureKind::Bmp};
        return QPixmap::fromImage(pictures::PictureFromBytes(bytes, "the tileset", kTilesetKinds));
    } catch (const Error& error) {
        return fail(QString::fromStdString(error.what()));
    }
}

}  // namespace

ChosenCell CellAt(float x, float y) {
    const std::int16_t column = CellIndex(x);
    const std::int16_t row = CellIndex(y);
    constexpr auto kSide = static_cast<std::int16_t>(kCellSide);
    constexpr auto kPerRow = static_cast<std::int16_t>(kCellsPerRow);
    const auto left = CheckedMultiply<std::int16_t>(column, kSide, "marker left");
    const auto top = CheckedMultiply<std::int16_t>(row, kSide, "marker top");
    const auto rowStart = CheckedMultiply<std::int16_t>(CellIndex(y), kPerRow, "tile row");
    const auto tile = CheckedAdd<std::int16_t>(
        CheckedAdd<std::int16_t>(rowStart, CellIndex(x), "tile number"), 1, "tile number");
    return ChosenCell{tile, left, top};
}

void PictureBox::SetPicture(const QPixmap& picture, const QString& problem) {
    picture_ = picture;
    problem_ = problem;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.drawPixmap(0, 0, picture_);
    if (!problem_.isEmpty()) {
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         problem_);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit pressed(static_cast<float>(at.x()), static_cast<float>(at.y()));
}

bool PictureBox::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const ChosenCell cell =
        CellAt(static_cast<float>(help->pos().x()), static_cast<float>(help->pos().y()));
    QToolTip::showText(help->globalPos(), QStringLiteral("Tile %1").arg(cell.tile), this);
    return true;
}

Form1::Form1() {
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(ChooserIcon());
    setFont(CaptionFont());
    setFixedSize(TwipsRect(0, 0, 4560, 3105).size());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    picTile = new PictureBox(this);
    picTile->setObjectName(QStringLiteral("picTile"));
    picTile->setGeometry(TwipsRect(0, 0, 4560, 2400));
    // Third in the tab order; it takes no keys.
    picTile->setFocusPolicy(Qt::StrongFocus);
    picTile->setAccessibleName(QStringLiteral("Tileset picture"));

    // The marker: a red frame over the picture that lets the tile show through and takes no input.
    S1 = new QWidget(picTile);
    S1->setObjectName(QStringLiteral("S1"));
    S1->setAttribute(Qt::WA_TransparentForMouseEvents);
    S1->setStyleSheet(QStringLiteral("#S1 { border: 2px solid rgb(255, 0, 0); }"));
    S1->setAttribute(Qt::WA_StyledBackground);

    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(TwipsRect(3240, 2520, 1215, 495));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(TwipsRect(1920, 2520, 1215, 495));
    for (QPushButton* button : {Command1, Command2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, picTile);

    connect(picTile, &PictureBox::pressed, this, &Form1::picTile_MouseDown);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Unload);
}

void Form1::ShowChooser(const QString& tilesetPath) {
    if (!loaded_) {
        Load(tilesetPath);
    }
    // An open chooser comes to the front, from the task bar too.
    if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    show();
    raise();
    activateWindow();
}

void Form1::Load(const QString& tilesetPath) {
    ChosenTile = kFirstTile;
    setWindowTitle(Caption(kFirstTile));
    const GridCell first = CellOfTile(kDefaultTile);  // column 18, row 8: pixel (288, 128)
    S1->setGeometry(first.column * kCellSide, first.row * kCellSide, kCellSide, kCellSide);
    QString problem;
    const QPixmap picture = LoadPicture(tilesetPath, problem);
    picTile->SetPicture(picture, problem);
    loaded_ = true;
    Command1->setFocus(Qt::OtherFocusReason);
}

void Form1::Unload() {
    loaded_ = false;
    picTile->SetPicture(QPixmap(), QString());
    hide();
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    Unload();
}

void Form1::picTile_MouseDown(float x, float y) {
    // Every press inside the 304 x 160 box gives a cell 1..190; nothing larger can overflow.
    ChosenCell cell{};
    try {
        cell = CellAt(x, y);
    } catch (const RunTimeError& error) {
        qWarning("Tile chooser: press at (%g, %g) ignored: %s", static_cast<double>(x),
                 static_cast<double>(y), error.what());
        return;
    }
    S1->move(cell.left, cell.top);
    ChosenTile = cell.tile;
    setWindowTitle(Caption(ChosenTile));
}

void Form1::Command1_Click() {
    emit tileChosen(QString::number(ChosenTile));
    Unload();
}

}  // namespace quorbel::ui
