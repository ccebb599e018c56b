#pragma once
// One way in for every command line (qorva, qorva-replay, qorva-sim), on CLI11: each
// option is declared once with what it allows, help reads the same everywhere, and a
// bad option or value ends the program before it has done anything, with exit code 2
// and one line that names the option, the value and what is allowed.
#include <CLI/CLI.hpp>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qorva::cli {

// Takes one value of an option: stores it and returns an empty text, or stores nothing
// and returns what the option allows ("a whole number from 0 to 100").
using Take = std::function<std::string(const std::string& value)>;

class CommandLine {
  public:
    // program heads every message; description heads the help.
    CommandLine(std::string program, std::string description);

    // An option with a value (a name without dashes is the positional argument). Every
    // value given is taken in order, so a repeated option keeps the last one unless take
    // collects them.
    CLI::Option* option(const std::string& name, const std::string& valueName,
                        const std::string& help, Take take);
    CLI::Option* flag(const std::string& name, bool& target, const std::string& help);
    // Any text but the empty one.
    CLI::Option* text(const std::string& name, std::string& target, const std::string& valueName,
                      const std::string& help);
    CLI::Option* text(const std::string& name, std::optional<std::string>& target,
                      const std::string& valueName, const std::string& help);
    // Decimal digits only, from min to max.
    CLI::Option* number(const std::string& name, long& target, long min, long max,
                        const std::string& valueName, const std::string& help);
    CLI::Option* choice(const std::string& name, std::string& target,
                        std::vector<std::string> allowed, const std::string& help);

    // Reads the command line: --help prints the help and ends the program with 0;
    // anything not allowed ends it with 2 and one line.
    void parse(int argc, char** argv);

    CLI::App& app() { return app_; }

  private:
    CLI::App app_;
};

// Takes every value that check accepts into target, in order.
Take Collect(std::vector<std::string>& target, Take check);

// The one line for a refused value: "--noise takes a whole number from 0 to 100, got '101'".
std::string Refusal(const std::string& option, const std::string& allowed,
                    const std::string& value);
// "a, b or c"
std::string OneOf(const std::vector<std::string>& allowed);

// "<program>: <message>" on standard error, then exit code 2.
[[noreturn]] void Fail(const std::string& message);
// "<program>: <message>" on standard error; the program goes on.
void Report(const std::string& message);

} // namespace qorva::cli
