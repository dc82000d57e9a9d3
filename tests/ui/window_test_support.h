// Helpers for window tests: a file dialog answered by the test, and message boxes answered as
// soon as they appear.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <deque>
#include <functional>

#include "ui/CommonDialog.h"

#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quorbel::test {

class ScriptedDialog : public ui::CommonDialog {
  public:
    struct Use {
        QString filter;
        bool save;
        QString startName;
    };
    std::deque<QString> answers;  // "" cancels
    std::vector<Use> uses;

  protected:
    QString Ask(QWidget*, Kind kind, const QString& startName) override {
        uses.push_back({Filter(), kind == Kind::Save, startName});
        const QString answer = answers.empty() ? QString() : answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }
};

// Presses OK on every message box that opens while it lives, and notes (title, text).
class MessageBoxAnswerer {
  public:
    std::vector<std::pair<QString, QString>> seen;

    MessageBoxAnswerer() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen.emplace_back(box->windowTitle(), box->text());
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer_.start();
    }

  private:
    QTimer timer_;
};

}  // namespace quorbel::test
