// vpk setting SECTION KEY [VALUE] [--ini FILE]: prints a setting of vortipak.ini (its default when the
// file has none) or, given a value, writes it. Only the keys the programs know can be written, and
// flags and numbers are checked first, so a typing mistake cannot leave a value no program reads.
#include <cstdio>
#include <string>
#include <vector>

#include "model/global_settings.h"
#include "model/setting_keys.h"
#include "model/text_fields.h"
#include "platform/platform_error.h"
#include "platform/profile_file.h"
#include "programs/vpk/verb_registry.h"

namespace {

using namespace vpk;

bool IsInteger(const std::string& text) {
    const std::string digits = !text.empty() && text[0] == '-' ? text.substr(1) : text;
    return !digits.empty() && digits.size() <= 10 && IsAllDigits(digits) &&
           std::stoll(text) >= -2147483648LL && std::stoll(text) <= 2147483647LL;
}

int RunSetting(const std::vector<std::string>& args) {
    std::string settings = GlobalSettings::DefaultFile();
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--ini" && i + 1 < args.size())
            settings = cli::ArgumentPath(args[++i]);
        else
            positional.push_back(args[i]);
    }
    if (positional.size() < 2 || positional.size() > 3) {
        std::fprintf(stderr, "usage: vpk setting SECTION KEY [VALUE] [--ini FILE]\n");
        return cli::kExitUsage;
    }
    const std::string& section = positional[0];
    const std::string& key = positional[1];
    const auto info = FindSetting(section, key);
    if (!info) {
        std::fprintf(stderr, "vpk setting: [%s] %s is not a setting of the programs\n", section.c_str(),
                     key.c_str());
        return cli::kExitUsage;
    }
    const GlobalSettings store(settings);
    if (positional.size() == 2) {
        std::printf("%s\n", store.ReadByName(section, key).c_str());
        return cli::kExitOk;
    }
    const std::string& value = positional[2];
    if (info->type == SettingType::Flag && value != "0" && value != "1") {
        std::fprintf(stderr, "vpk setting: %s is a flag: 1 or 0\n", key.c_str());
        return cli::kExitUsage;
    }
    if (info->type == SettingType::Integer && !IsInteger(value)) {
        std::fprintf(stderr, "vpk setting: %s is a whole number\n", key.c_str());
        return cli::kExitUsage;
    }
    try {
        store.Write(TextSetting{info->section, info->key, info->defaultText}, value);
    } catch (const PlatformError& e) {
        std::fprintf(stderr, "vpk setting: %s\n", e.what());
        return cli::kExitFailure;
    }
    return cli::kExitOk;
}

const cli::VerbRegistration kSetting{"setting", "SECTION KEY [VALUE] [--ini FILE]",
                                     "Print a setting of vortipak.ini, or write it", RunSetting};

}  // namespace
