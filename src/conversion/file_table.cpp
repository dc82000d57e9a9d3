#include "file_table.h"

#include "errors.h"

namespace quorbel {
namespace {

[[noreturn]] void ThrowBadNumber(int number, const char* use) {
    throw FileError("bad file number " + std::to_string(number) + " for " + use);
}

bool IsInputNumber(int number) {
    return number == FileTable::kTileset || number == FileTable::kBitmap;
}

}  // namespace

void FileTable::OpenForReading(int number, const std::string& path) {
    if (!IsInputNumber(number)) {
        ThrowBadNumber(number, "reading");
    }
    inputs_[number - 1].reset();
    inputs_[number - 1] = std::make_unique<InputFile>(path);
}

void FileTable::CreateForWriting(int number, const std::string& path) {
    if (number != kOutput) {
        ThrowBadNumber(number, "writing");
    }
    output_.reset();
    output_ = std::make_unique<OutputFile>(path);
}

std::string FileTable::Read(int number, std::size_t count) {
    return Input(number).Read(count);
}

void FileTable::Copy(int from, int to, std::size_t count) {
    Input(from).CopyTo(Output(to), count);
}

void FileTable::Write(int number, std::string_view bytes) {
    Output(number).Write(bytes);
}

void FileTable::Commit(int number) {
    Output(number).Commit();
    output_.reset();
}

void FileTable::Close(int number) noexcept {
    if (IsInputNumber(number)) {
        inputs_[number - 1].reset();
    } else if (number == kOutput) {
        output_.reset();
    }
}

void FileTable::CloseAll() noexcept {
    Close(kTileset);
    Close(kBitmap);
    Close(kOutput);
}

bool FileTable::HoldsOpen(const FileIdentity& identity) const {
    for (const auto& input : inputs_) {
        if (input && input->Identity() == identity) {
            return true;
        }
    }
    return false;
}

InputFile& FileTable::Input(int number) {
    if (!IsInputNumber(number) || !inputs_[number - 1]) {
        ThrowBadNumber(number, "reading");
    }
    return *inputs_[number - 1];
}

OutputFile& FileTable::Output(int number) {
    if (number != kOutput || !output_) {
        ThrowBadNumber(number, "writing");
    }
    return *output_;
}

}  // namespace quorbel
