#include "cli/CliOptions.h"

namespace ks340::cli {

Options& Options::flag(std::initializer_list<std::string_view> names, bool& target) {
    options_.push_back({names, Kind::Flag, &target});
    return *this;
}

Options& Options::value(std::initializer_list<std::string_view> names, std::string& target, bool* given) {
    Option o{names, Kind::Value};
    o.value = &target;
    o.given = given;
    options_.push_back(o);
    return *this;
}

Options& Options::values(std::initializer_list<std::string_view> names, std::vector<std::string>& target) {
    Option o{names, Kind::Values};
    o.values = &target;
    options_.push_back(o);
    return *this;
}

Options::Option* Options::find(std::string_view name) {
    for (Option& o : options_)
        for (std::string_view n : o.names)
            if (n == name) return &o;
    return nullptr;
}

bool Options::parse(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            help_ = true;
            continue;
        }
        if (a.size() < 2 || a[0] != '-') {
            arguments_.push_back(a);
            continue;
        }
        // "--name=value" for long names.
        const std::size_t equals = a.rfind("--", 0) == 0 ? a.find('=') : std::string::npos;
        const std::string name = a.substr(0, equals);
        Option* o = find(name);
        if (!o) {
            error_ = "unknown option '" + name + "'";
            return false;
        }
        if (o->kind == Kind::Flag) {
            if (equals != std::string::npos) {
                error_ = "option '" + name + "' takes no value";
                return false;
            }
            *o->flag = true;
            continue;
        }
        std::string v;
        if (equals != std::string::npos) {
            v = a.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            v = args[++i];
        } else {
            error_ = "option '" + name + "' needs a value";
            return false;
        }
        if (o->kind == Kind::Values) {
            o->values->push_back(std::move(v));
            continue;
        }
        if (o->seen) {
            error_ = "option '" + name + "' can be given only once";
            return false;
        }
        o->seen = true;
        *o->value = std::move(v);
        if (o->given) *o->given = true;
    }
    return true;
}

}  // namespace ks340::cli
