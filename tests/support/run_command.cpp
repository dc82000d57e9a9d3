#include "support/run_command.h"

#include <iostream>
#include <sstream>

#include "command/command.h"

namespace quorbel::test {
namespace {

// Points a standard stream at another buffer for as long as it lives.
class Redirected {
  public:
    Redirected(std::ostream& stream, std::streambuf* buffer)
        : stream_(stream), saved_(stream.rdbuf(buffer)) {}
    ~Redirected() { stream_.rdbuf(saved_); }
    Redirected(const Redirected&) = delete;
    Redirected& operator=(const Redirected&) = delete;

  private:
    std::ostream& stream_;
    std::streambuf* saved_;
};

}  // namespace

CommandResult RunInProcess(const std::function<int(std::ostream& out, std::ostream& err)>& main) {
    std::ostringstream out;
    std::ostringstream err;
    CommandResult result;
    {
        const Redirected standardOutput(std::cout, out.rdbuf());
        const Redirected standardError(std::cerr, err.rdbuf());
        result.exitStatus = main(out, err);
    }
    result.out = out.str();
    result.err = err.str();
    return result;
}

CommandResult RunCommand(command::Subcommand& command, const std::vector<std::string>& args) {
    return RunInProcess(
        [&](std::ostream& out, std::ostream& err) { return command.Main(args, out, err); });
}

}  // namespace quorbel::test
