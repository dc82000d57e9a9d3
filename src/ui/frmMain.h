// The main window: three path fields with their browse buttons, the tile number, the convert
// button, the report box and the status line. It is the conversion's front end: the run started by
// Command1 reads its fields, disables Command1, writes the status line and the report, shows its
// message boxes, and yields to the event loop here, so the window stays usable during a run.
#pragma once

#include <QWidget>
#include <memory>

#include "conversion/front_end.h"
#include "ui/CommonDialog.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QMessageBox;

namespace quorbel::ui {

class frmMain : public QWidget, public FrontEnd {
    Q_OBJECT
  public:
    // dialog is the shared file dialog cd; the toolkit's own when none is given.
    explicit frmMain(std::unique_ptr<CommonDialog> dialog = nullptr);
    ~frmMain() override;

    // FrontEnd: what a conversion run needs of this window.
    std::string FieldText(Field field) const override;
    void SetCommand1Enabled(bool enabled) override;
    void SetStatusCaption(const std::string& caption) override;
    std::string ReportText() const override;
    void SetReportText(const std::string& text) override;
    void ShowCriticalMessage(const std::string& prompt, const std::string& title) override;
    void ProcessEvents() override;
    bool StopRequested() const override { return stopRequested_; }

    // The tileset path as typed, for the tile chooser's load.
    QString TilesetPathText() const;
    // Replaces the tile-number text: the tile chooser's Ok.
    void SetTileNumberText(const QString& text);

    CommonDialog& Dialog() const { return *cd_; }
    bool Running() const { return running_; }

  signals:
    // Command5 was pressed: the tile chooser is to be shown (it is not this window's own).
    void chooserWanted();
    // The window is closing: every other window goes with it.
    void closing();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Command1_Click() noexcept;
    void Browse(const QString& filter, bool save, QLineEdit* target);
    void Command5_Click();
    void BuildControls();
    void SetTabOrder();

    QLabel* Label1 = nullptr;
    QLineEdit* txtPic = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtTile = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtTileNum = nullptr;
    QPushButton* Command5 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtOut = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPlainTextEdit* txtDebug = nullptr;
    QLabel* L = nullptr;
    std::unique_ptr<CommonDialog> cd_;

    // The report exactly as the run wrote it (CR LF line breaks), and as the box shows it.
    std::string report_;
    QString shownReport_;

    bool running_ = false;
    bool stopRequested_ = false;
    QMessageBox* openMessage_ = nullptr;
};

}  // namespace quorbel::ui
