#include "forms/dialogs/ModalDialog.h"

#include "platform/Platform.h"
#include "settings/SettingsStore.h"

namespace zorim {

int ModalDialog::execute() { return platform_.showModal(*this); }

void ModalDialog::handOver(const std::function<void()>& write)
{
    try {
        write();
    } catch (const SettingsError& error) {
        platform_.error(this, error.message());
        return;
    }
    accept();
}

} // namespace zorim
