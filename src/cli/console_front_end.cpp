#include "cli/console_front_end.h"

#include <utility>

namespace quorbel::cli {

ConsoleFrontEnd::ConsoleFrontEnd(std::map<Field, std::string> fields, std::ostream& log,
                                 const volatile std::sig_atomic_t& stopSignal, bool quiet)
    : fields_(std::move(fields)), log_(log), stopSignal_(stopSignal), quiet_(quiet) {}

std::string ConsoleFrontEnd::FieldText(Field field) const {
    const auto found = fields_.find(field);
    return found == fields_.end() ? std::string() : found->second;
}

void ConsoleFrontEnd::SetStatusCaption(const std::string& caption) {
    if (!quiet_) {
        log_ << caption << '\n' << std::flush;
    }
}

void ConsoleFrontEnd::ShowCriticalMessage(const std::string& prompt, const std::string& title) {
    log_ << title << ": " << prompt << '\n' << std::flush;
}

}  // namespace quorbel::cli
