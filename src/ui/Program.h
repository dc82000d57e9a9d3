// The window program's two windows and what passes between them. The main window asks for the
// tile chooser with Command5; the chooser, made on the first ask, loads the picture of the main
// window's tileset path and hands its number back on Ok. Closing the main window closes both.
// Neither window knows the other; this is where they meet.
#pragma once

#include <QObject>
#include <memory>

#include "ui/CommonDialog.h"
#include "ui/Form1.h"
#include "ui/frmMain.h"

namespace quorbel::ui {

class Program : public QObject {
    Q_OBJECT
  public:
    // dialog is the main window's file dialog; the toolkit's own when none is given.
    explicit Program(std::unique_ptr<CommonDialog> dialog = nullptr);
    ~Program() override;

    frmMain& Main() { return main_; }
    // The chooser's one instance, or null before the first press of Command5.
    Form1* Chooser() const { return chooser_.get(); }

  private:
    void ShowChooser();

    frmMain main_;
    std::unique_ptr<Form1> chooser_;
};

}  // namespace quorbel::ui
