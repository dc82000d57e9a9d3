#include "ui/CommonDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace quorbel::ui {

void CommonDialog::Show(QWidget* owner, Kind kind) {
    fileName_ = Ask(owner, kind, lastChosen_);
    if (!fileName_.isEmpty()) {
        lastChosen_ = fileName_;
    }
}

void PrepareFileDialog(QFileDialog& dialog, const QString& filter, bool save,
                       const QString& startName) {
    dialog.setNameFilter(QtFilterText(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (startName.isEmpty()) {
        return;
    }
    // The toolkit lists a preselected file whatever the filter: only a name the filter takes is
    // preselected; the dialog still opens in its folder.
    const QFileInfo start(startName);
    dialog.setDirectory(start.absolutePath());
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    const QString pattern = bar < 0 ? filter : filter.mid(bar + 1);
    if (QDir::match(pattern, start.fileName())) {
        dialog.selectFile(startName);
    }
}

QString QtCommonDialog::Ask(QWidget* owner, Kind kind, const QString& startName) {
    QFileDialog dialog(owner);
    PrepareFileDialog(dialog, Filter(), kind == Kind::Save, startName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

QString QtFilterText(const QString& filter) {
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        return filter;
    }
    return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1) + QLatin1Char(')');
}

}  // namespace quorbel::ui
