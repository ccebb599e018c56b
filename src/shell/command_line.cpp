#include "shell/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace qorva::cli {

namespace {

// The program every message names; set once, by its command line.
std::string programName = "qorva";

// Decimal digits only: "010" is ten, and "0x10" or "-1" is no whole number.
bool parseWholeNumber(const std::string& text, long& out) {
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::stol(text);
    return true;
}

// A value as the message quotes it: control bytes escaped, so the message stays one line.
std::string quoted(const std::string& value) {
    std::string out = "'";
    for (const char c : value) {
        if (static_cast<unsigned char>(c) >= 32 && c != 127) {
            out += c;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
        out += escaped;
    }
    return out + "'";
}

// CLI11's own refusals, in the same shape as ours where it leaves the shape to us.
std::string messageFor(const CLI::ParseError& error, const CLI::App& app) {
    if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        const std::vector<std::string> extras = app.remaining();
        if (!extras.empty()) {
            const std::string& first = extras.front();
            const bool looksLikeOption = first.size() > 1 && first[0] == '-';
            return (looksLikeOption ? "unknown option " : "unexpected argument ") + quoted(first) +
                   " (see --help)";
        }
    }
    // CLI11 names the option first: "--count: 1 required N missing".
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        const std::string what = error.what();
        const std::string name = what.substr(0, what.find(':'));
        if (const CLI::Option* option = app.get_option_no_throw(name))
            return name + " needs a value: " + option->get_type_name();
    }
    return error.what();
}

template <class Target> Take nonEmpty(Target& target, const std::string& valueName) {
    return [&target, valueName](const std::string& value) -> std::string {
        if (value.empty()) return "a non-empty " + valueName;
        target = value;
        return {};
    };
}

} // namespace

CommandLine::CommandLine(std::string program, std::string description)
    : app_(std::move(description), program) {
    programName = std::move(program);
    app_.set_help_flag("-h,--help", "Print this help and exit");
}

CLI::Option* CommandLine::option(const std::string& name, const std::string& valueName,
                                 const std::string& help, Take take) {
    const auto takeEach = [name, take](const CLI::results_t& values) {
        for (const std::string& value : values)
            if (const std::string allowed = take(value); !allowed.empty())
                throw CLI::ValidationError(Refusal(name, allowed, value));
        return true;
    };
    return app_.add_option(name, takeEach, help)
        ->type_name(valueName)
        ->type_size(1)
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

CLI::Option* CommandLine::flag(const std::string& name, bool& target, const std::string& help) {
    return app_.add_flag(name, target, help)->disable_flag_override();
}

CLI::Option* CommandLine::text(const std::string& name, std::string& target,
                               const std::string& valueName, const std::string& help) {
    return option(name, valueName, help, nonEmpty(target, valueName));
}

CLI::Option* CommandLine::text(const std::string& name, std::optional<std::string>& target,
                               const std::string& valueName, const std::string& help) {
    return option(name, valueName, help, nonEmpty(target, valueName));
}

CLI::Option* CommandLine::number(const std::string& name, long& target, long min, long max,
                                 const std::string& valueName, const std::string& help) {
    const std::string allowed =
        "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
    return option(name, valueName,
                  help + " (" + std::to_string(min) + " to " + std::to_string(max) + ")",
                  [&target, min, max, allowed](const std::string& value) -> std::string {
                      long number = 0;
                      if (!parseWholeNumber(value, number) || number < min || number > max)
                          return allowed;
                      target = number;
                      return {};
                  });
}

CLI::Option* CommandLine::choice(const std::string& name, std::string& target,
                                 std::vector<std::string> allowed, const std::string& help) {
    const std::string valueName = [&] {
        std::string joined;
        for (const auto& item : allowed) joined += (joined.empty() ? "" : "|") + item;
        return joined;
    }();
    return option(name, valueName, help,
                  [&target, allowed](const std::string& value) -> std::string {
                      for (const auto& item : allowed)
                          if (value == item) {
                              target = value;
                              return {};
                          }
                      return OneOf(allowed);
                  });
}

void CommandLine::parse(int argc, char** argv) {
    try {
        app_.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app_.help();
        std::exit(0);
    } catch (const CLI::ParseError& error) {
        Fail(messageFor(error, app_));
    }
}

Take Collect(std::vector<std::string>& target, Take check) {
    return [&target, check](const std::string& value) {
        std::string allowed = check(value);
        if (allowed.empty()) target.push_back(value);
        return allowed;
    };
}

std::string Refusal(const std::string& option, const std::string& allowed,
                    const std::string& value) {
    return option + " takes " + allowed + ", got " + quoted(value);
}

std::string OneOf(const std::vector<std::string>& allowed) {
    std::string text;
    for (size_t i = 0; i < allowed.size(); ++i)
        text += (i == 0 ? "" : i + 1 == allowed.size() ? " or " : ", ") + allowed[i];
    return text;
}

void Fail(const std::string& message) {
    Report(message);
    std::exit(2);
}

void Report(const std::string& message) {
    std::cerr << programName << ": " << message << std::endl;
}

} // namespace qorva::cli
