#include "lang/language.h"

#include <charconv>
#include <limits>

#include "lang/language_errors.h"
#include "lang/language_keys.h"
#include "platform/profile_file.h"
#include "platform/program_paths.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::int32_t DecimalValue(std::string_view text, std::string_view path) {
    std::string_view digits = Trim(text);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 10);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value (" + std::string(path) +
                            ")");
    return value;
}

// The text cut at every separator; each piece trimmed and kept, even empty ones between two
// separators, and a non-empty rest added last.
std::vector<std::string> SplitItems(std::string_view text, std::string_view separator) {
    std::vector<std::string> items;
    if (!separator.empty()) {
        for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator)) {
            items.emplace_back(Trim(text.substr(0, at)));
            text.remove_prefix(at + separator.size());
        }
    }
    if (std::string_view rest = Trim(text); !rest.empty()) items.emplace_back(rest);
    return items;
}

TranslatableComponent* FindOwned(const TranslatableComponent& owner, std::string_view name) {
    for (TranslatableComponent* child : owner.Components())
        if (child && SameText(child->Name(), name)) return child;
    return nullptr;
}

}  // namespace

void TLanguage::SetSeparator(std::string_view separator) {
    separator_ = Trim(separator).empty() ? std::string(",") : std::string(separator);
}

void TLanguage::Translate() {
    if (OnBeforeTranslation) OnBeforeTranslation(*this);
    for (const std::string& line : properties_) {
        std::string_view path = Trim(line);
        if (path.empty()) continue;
        Apply(path, Lookup(language_keys::kTranslationsSection, path));
    }
    if (OnAfterTranslation) OnAfterTranslation(*this);
}

void TLanguage::Apply(std::string_view path, const std::string& text) {
    const std::string_view fullPath = path;
    TranslatableComponent* component = application_;
    for (std::size_t dot = path.find('.'); component && dot != std::string_view::npos; dot = path.find('.')) {
        component = FindOwned(*component, Trim(path.substr(0, dot)));
        path = Trim(path.substr(dot + 1));
    }
    if (!component || text.empty()) return;

    const std::string property(path);
    std::string value = text;
    if (OnTranslate) OnTranslate(*this, *component, property, component->Text(property), value);

    switch (component->KindOf(property)) {
        case PropertyKind::None:
            return;
        case PropertyKind::String:
            component->SetString(property, value);
            return;
        case PropertyKind::Integer:
            component->SetInteger(property, DecimalValue(value, fullPath));
            return;
        case PropertyKind::StringList:
            component->SetStrings(property, SplitItems(value, separator_));
            return;
    }
}

std::string TLanguage::Lookup(std::string_view section, std::string_view key) const {
    // The translation of a path is empty when missing; a message, caption or credit shows its key.
    const bool translation = section == language_keys::kTranslationsSection;
    const std::string_view fallback = translation ? std::string_view() : key;
    if (fn_.empty()) return std::string(fallback);
    return profile::ReadString(fn_, section, key, fallback);
}

std::string TLanguage::MessageText(std::string_view key) const {
    return Lookup(language_keys::kMessagesSection, key);
}

std::string TLanguage::ButtonText(std::string_view key) const {
    return Lookup(language_keys::kButtonsSection, key);
}

std::string TLanguage::ThanksText(std::string_view key) const {
    return Lookup(language_keys::kThanksSection, key);
}

void TLanguage::WriteRegEntries(RegistryStore& registry) const {
    constexpr std::string_view kDefaultKey = "TEST";
    const std::string_view section = language_keys::kRegSection;
    std::string key = fn_.empty() ? std::string() : profile::ReadString(fn_, section, "key", kDefaultKey);
    // A blank "key" would write straight into the root of the classes hive: take the default instead.
    if (Trim(key).empty()) key = kDefaultKey;

    if (!registry.CreateKey(Hive::ClassesRoot, key))
        throw ERegistryException("Failed to create key HKEY_CLASSES_ROOT\\" + key);
    if (fn_.empty()) return;
    for (const std::string& name : profile::ReadKeys(fn_, section)) {
        const std::string value = profile::ReadString(fn_, section, name);
        if (value.empty()) continue;
        if (!registry.WriteString(Hive::ClassesRoot, key, name, value))
            throw ERegistryException("Failed to set data for '" + name + "' in HKEY_CLASSES_ROOT\\" + key);
    }
}

std::string FileInFolder(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    const bool hostPath = !path.empty() && path.front() == '/';
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += hostPath ? '/' : '\\';
    return path.append(fileName);
}

std::string LanguageFileName(std::string_view programFolder, std::string_view name) {
    return FileInFolder(programFolder, LowerCase(name) + ".lgn");
}

std::string LanguageFileName(std::string_view name) {
    return LanguageFileName(ProgramFolderVirtual(), name);
}

}  // namespace vpk
