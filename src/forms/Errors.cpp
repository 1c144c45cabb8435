#include "forms/Errors.h"

#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"

namespace zorim {

QString errorMessage(const std::exception& error)
{
    if (const auto* e = dynamic_cast<const SettingsError*>(&error))
        return e->message();
    if (const auto* e = dynamic_cast<const RichEditError*>(&error))
        return e->message();
    return QString::fromUtf8(error.what());
}

} // namespace zorim
