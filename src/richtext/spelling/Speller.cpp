#include "richtext/spelling/Speller.h"

#include <enchant.h>

#include <dlfcn.h>

namespace zorim {

// The functions of Enchant's C interface the program uses, found in the loaded library.
struct Speller::Api {
    decltype(&enchant_broker_init) brokerInit = nullptr;
    decltype(&enchant_broker_free) brokerFree = nullptr;
    decltype(&enchant_broker_request_dict) requestDict = nullptr;
    decltype(&enchant_broker_free_dict) freeDict = nullptr;
    decltype(&enchant_dict_check) check = nullptr;
    decltype(&enchant_dict_suggest) suggest = nullptr;
    decltype(&enchant_dict_free_string_list) freeList = nullptr;
    decltype(&enchant_dict_add) add = nullptr;
    decltype(&enchant_dict_add_to_session) addToSession = nullptr;

    bool resolve(void* handle)
    {
        const auto find = [handle](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
            return fn != nullptr;
        };
        return find(brokerInit, "enchant_broker_init") && find(brokerFree, "enchant_broker_free")
            && find(requestDict, "enchant_broker_request_dict") && find(freeDict, "enchant_broker_free_dict")
            && find(check, "enchant_dict_check") && find(suggest, "enchant_dict_suggest")
            && find(freeList, "enchant_dict_free_string_list") && find(add, "enchant_dict_add")
            && find(addToSession, "enchant_dict_add_to_session");
    }
};

Speller::Speller(const char* library)
{
    handle_ = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        return;
    auto api = std::make_unique<Api>();
    if (api->resolve(handle_))
        broker_ = api->brokerInit();
    if (!broker_) {
        dlclose(handle_);
        handle_ = nullptr;
        return;
    }
    api_ = std::move(api);
}

Speller::~Speller()
{
    if (!api_)
        return;
    auto* broker = static_cast<EnchantBroker*>(broker_);
    for (void* dict : std::as_const(dictionaries_))
        if (dict)
            api_->freeDict(broker, static_cast<EnchantDict*>(dict));
    api_->brokerFree(broker);
    // The library stays loaded: its providers may have registered handlers of their own.
}

Speller& Speller::system()
{
    static Speller speller;
    return speller;
}

void* Speller::dictionary(const QString& tag)
{
    if (!api_)
        return nullptr;
    const auto it = dictionaries_.constFind(tag);
    if (it != dictionaries_.constEnd())
        return it.value();
    void* dict = api_->requestDict(static_cast<EnchantBroker*>(broker_), tag.toUtf8().constData());
    dictionaries_.insert(tag, dict);
    return dict;
}

bool Speller::hasDictionary(const QString& tag) { return dictionary(tag) != nullptr; }

Speller::Verdict Speller::check(const QString& tag, const QString& word)
{
    auto* dict = static_cast<EnchantDict*>(dictionary(tag));
    if (!dict)
        return Verdict::NoDictionary;
    const QByteArray utf8 = word.toUtf8();
    // Negative is an error of the dictionary: the word is not marked for it.
    return api_->check(dict, utf8.constData(), utf8.size()) > 0 ? Verdict::Misspelled : Verdict::Correct;
}

QStringList Speller::suggest(const QString& tag, const QString& word, int max)
{
    auto* dict = static_cast<EnchantDict*>(dictionary(tag));
    QStringList out;
    if (!dict)
        return out;
    const QByteArray utf8 = word.toUtf8();
    size_t count = 0;
    char** list = api_->suggest(dict, utf8.constData(), utf8.size(), &count);
    if (!list)
        return out;
    for (size_t i = 0; i < count && out.size() < max; ++i) {
        const QString s = QString::fromUtf8(list[i]);
        if (!s.isEmpty() && !out.contains(s))
            out.append(s);
    }
    api_->freeList(dict, list);
    return out;
}

void Speller::addToPersonal(const QString& tag, const QString& word)
{
    if (auto* dict = static_cast<EnchantDict*>(dictionary(tag))) {
        const QByteArray utf8 = word.toUtf8();
        api_->add(dict, utf8.constData(), utf8.size());
    }
}

void Speller::ignore(const QString& tag, const QString& word)
{
    if (auto* dict = static_cast<EnchantDict*>(dictionary(tag))) {
        const QByteArray utf8 = word.toUtf8();
        api_->addToSession(dict, utf8.constData(), utf8.size());
    }
}

} // namespace zorim
