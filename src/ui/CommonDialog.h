// The one file dialog that the main window's browse buttons share. Behind this seam the tests
// answer it without showing a real dialog.
#pragma once

#include <QObject>
#include <QString>

class QFileDialog;
class QWidget;

namespace quorbel::ui {

class CommonDialog : public QObject {
    Q_OBJECT
  public:
    explicit CommonDialog(QObject* parent = nullptr) : QObject(parent) {
        setObjectName(QStringLiteral("cd"));
    }

    // One description and one pattern separated by a bar: "Bitmap Files|*.bmp".
    void SetFilter(const QString& filter) { filter_ = filter; }
    const QString& Filter() const { return filter_; }

    // The file chosen by the last ShowOpen or ShowSave; empty when the user cancelled it.
    const QString& FileName() const { return fileName_; }

    // Modal dialogs that start with the last chosen file name and wait for the user.
    void ShowOpen(QWidget* owner) { Show(owner, Kind::Open); }
    void ShowSave(QWidget* owner) { Show(owner, Kind::Save); }

  protected:
    enum class Kind { Open, Save };
    // Shows the dialog; returns the chosen path, or an empty string when cancelled.
    virtual QString Ask(QWidget* owner, Kind kind, const QString& startName) = 0;

  private:
    void Show(QWidget* owner, Kind kind);

    QString filter_;
    QString fileName_;
    QString lastChosen_;
};

// The toolkit's own file dialog.
class QtCommonDialog : public CommonDialog {
    Q_OBJECT
  public:
    using CommonDialog::CommonDialog;

  protected:
    QString Ask(QWidget* owner, Kind kind, const QString& startName) override;
};

// "Bitmap Files|*.bmp" as the toolkit writes a filter: "Bitmap Files (*.bmp)".
QString QtFilterText(const QString& filter);

// Sets up the toolkit's dialog for a filter ("lvl Files|*.lvl"), open or save, starting with the
// last chosen name: in its folder, and with it preselected only when the filter takes it.
void PrepareFileDialog(QFileDialog& dialog, const QString& filter, bool save,
                       const QString& startName);

}  // namespace quorbel::ui
