#include "ui/CommonDialog.h"

#include <QFileDialog>

namespace quorbel::ui {

void CommonDialog::Show(QWidget* owner, Kind kind) {
    fileName_ = Ask(owner, kind, lastChosen_);
    if (!fileName_.isEmpty()) {
        lastChosen_ = fileName_;
    }
}

QString QtCommonDialog::Ask(QWidget* owner, Kind kind, const QString& startName) {
    QFileDialog dialog(owner);
    dialog.setNameFilter(QtFilterText(Filter()));
    dialog.setAcceptMode(kind == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (!startName.isEmpty()) {
        dialog.selectFile(startName);
    }
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
