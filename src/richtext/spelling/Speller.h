#pragma once
// Spelling dictionaries through Enchant, the spell-checking library of the Linux desktop (it
// reaches Hunspell's dictionaries and keeps the user's personal word list, shared with other
// programs). The library is loaded when first asked for, not linked: on a machine without
// it the program runs all the same, only without spelling.
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace zorim {

class Speller {
public:
    // Enchant's library as the system installs it.
    static constexpr const char* kLibrary = "libenchant-2.so.2";

    explicit Speller(const char* library = kLibrary);
    ~Speller();
    Speller(const Speller&) = delete;
    Speller& operator=(const Speller&) = delete;

    // The one the program's documents use, made on first use.
    static Speller& system();

    // Whether the library could be loaded.
    bool loaded() const { return api_ != nullptr; }
    // Whether a dictionary for the language tag ("sk_SK", "en_US") is installed.
    bool hasDictionary(const QString& tag);

    enum class Verdict { Correct, Misspelled, NoDictionary };
    Verdict check(const QString& tag, const QString& word);
    // Up to max corrections, best first.
    QStringList suggest(const QString& tag, const QString& word, int max);
    // The word goes into the user's personal word list of the language, kept by Enchant.
    void addToPersonal(const QString& tag, const QString& word);
    // The word counts as correct until the program ends.
    void ignore(const QString& tag, const QString& word);

private:
    struct Api;
    void* dictionary(const QString& tag); // an EnchantDict, nullptr when none

    void* handle_ = nullptr;
    std::unique_ptr<Api> api_;
    void* broker_ = nullptr;
    QHash<QString, void*> dictionaries_; // by tag; nullptr: none installed
};

} // namespace zorim
