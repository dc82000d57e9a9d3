#include "ui/Program.h"

namespace quorbel::ui {

Program::Program(std::unique_ptr<CommonDialog> dialog) : main_(std::move(dialog)) {
    connect(&main_, &frmMain::chooserWanted, this, &Program::ShowChooser);
    connect(&main_, &frmMain::closing, this, [this] {
        if (chooser_) {
            chooser_->Unload();
        }
    });
}

Program::~Program() = default;

void Program::ShowChooser() {
    if (!chooser_) {
        chooser_ = std::make_unique<Form1>();
        connect(chooser_.get(), &Form1::tileChosen, &main_, &frmMain::SetTileNumberText);
    }
    chooser_->ShowChooser(main_.TilesetPathText());
}

}  // namespace quorbel::ui
