// The options of one ks340ctl command line, declared by its verb. Every
// verb reads its options the same way: a flag by name, a value as
// "--name VALUE" or "--name=VALUE" (a short name as "-o VALUE"), a value
// option that may be repeated (--port) into a list; "--help" and "-h"
// everywhere; "-" and anything else not starting with "-" is an argument.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace ks340::cli {

class Options {
public:
    Options& flag(std::initializer_list<std::string_view> names, bool& target);
    // A value given at most once; `given` (optional) tells whether it was.
    Options& value(std::initializer_list<std::string_view> names, std::string& target, bool* given = nullptr);
    // A value that may be given again and again.
    Options& values(std::initializer_list<std::string_view> names, std::vector<std::string>& target);

    // False, with the reason in error(), for an unknown option, an option
    // without its value, a value given twice or a flag given a value.
    bool parse(const std::vector<std::string>& args);

    bool help() const { return help_; }
    const std::vector<std::string>& arguments() const { return arguments_; }
    const std::string& error() const { return error_; }

private:
    enum class Kind { Flag, Value, Values };
    struct Option {
        std::vector<std::string_view> names;
        Kind kind;
        bool* flag = nullptr;
        std::string* value = nullptr;
        bool* given = nullptr;
        std::vector<std::string>* values = nullptr;
        bool seen = false;
    };
    Option* find(std::string_view name);

    std::vector<Option> options_;
    std::vector<std::string> arguments_;
    std::string error_;
    bool help_ = false;
};

}  // namespace ks340::cli
