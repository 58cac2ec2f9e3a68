#pragma once
// TLanguage: applies the texts of a language file to the components of the running program and answers
// lookups of messages, button captions and credit texts by key.
//
// Holds no text: every lookup opens the file named by FN anew, so changing FN (or the file itself)
// takes effect at the next lookup. A missing file is not an error: lookups return their key and
// Translate leaves every design-time text as it is. Single-threaded, like the windows that own it.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/translatable_component.h"
#include "platform/registry_store.h"

namespace vpk {

class TLanguage;

using TNotifyEvent = std::function<void(TLanguage& sender)>;
// Lets the owner see or change each text (newValue, in/out) before it is applied.
using TLanguageNotifyEvent =
    std::function<void(TLanguage& sender, TranslatableComponent& component, const std::string& propertyName,
                       const std::string& oldValue, std::string& newValue)>;

class TLanguage {
  public:
    TLanguage() = default;

    // Full path of the language file in use (virtual or host path); empty: no file.
    const std::string& FN() const { return fn_; }
    void SetFN(std::string fileName) { fn_ = std::move(fileName); }

    // Property paths to translate, one an entry ("Form1.MQuery.caption"); blank entries are skipped.
    std::vector<std::string>& Properties() { return properties_; }
    const std::vector<std::string>& Properties() const { return properties_; }

    // Separator of the items of a text given to a list property; empty: the text is one item. A value
    // blank after trimming becomes ",".
    const std::string& Separator() const { return separator_; }
    void SetSeparator(std::string_view separator);

    // The object owning the forms: the first name of every path is looked up among its components.
    // Without one, Translate changes nothing.
    void SetApplication(TranslatableComponent* application) { application_ = application; }
    TranslatableComponent* Application() const { return application_; }

    TNotifyEvent OnBeforeTranslation;
    TNotifyEvent OnAfterTranslation;
    TLanguageNotifyEvent OnTranslate;

    // Applies section "Translations" to every path of Properties, in order. A path naming a component
    // or property that does not exist, or with an empty text, is skipped. Raises EConvertError when an
    // integer property is given a text that is not a decimal number; that ends the pass.
    void Translate();

    // The value of key in "Messages" / "Buttons" / "Thanks"; the key itself when file or key is missing.
    std::string MessageText(std::string_view key) const;
    std::string ButtonText(std::string_view key) const;
    std::string ThanksText(std::string_view key) const;

    // Copies section "reg" into the registry: creates HKEY_CLASSES_ROOT\<"key", default "TEST"> and
    // writes every name with a non-empty value into it ("key" included). Raises ERegistryException
    // naming the key or value that could not be written.
    void WriteRegEntries(RegistryStore& registry) const;
    void WriteRegEntries() const { WriteRegEntries(RegistryStore::Instance()); }

  private:
    std::string Lookup(std::string_view section, std::string_view key) const;
    void Apply(std::string_view path, const std::string& value);

    std::string fn_;
    std::vector<std::string> properties_;
    std::string separator_;
    TranslatableComponent* application_ = nullptr;
};

// folder + fileName, with a separator between them unless folder ends with one ("\", or "/" for a
// host path).
std::string FileInFolder(std::string_view folder, std::string_view fileName);
// Program folder + "\" when it does not end with one + lower-cased name + ".lgn".
std::string LanguageFileName(std::string_view programFolder, std::string_view name);
// The same in the running program's folder.
std::string LanguageFileName(std::string_view name);

}  // namespace vpk
