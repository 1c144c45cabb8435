#pragma once
// The seven handler classes of the main window, by concern, sharing one context. The command
// table reaches a handler as on<&FileCommands::open>.
#include "forms/commands/CommandContext.h"
#include "forms/commands/EditCommands.h"
#include "forms/commands/FileCommands.h"
#include "forms/commands/FormatCommands.h"
#include "forms/commands/InsertCommands.h"
#include "forms/commands/SpellingCommands.h"
#include "forms/commands/ToolsCommands.h"
#include "forms/commands/ViewCommands.h"

#include <type_traits>

namespace zorim {

class Commands {
public:
    explicit Commands(const CommandContext& context) : context(context) {}
    Commands(const Commands&) = delete;
    Commands& operator=(const Commands&) = delete;

    CommandContext context;
    FileCommands file{context};
    EditCommands edit{context};
    FormatCommands format{context};
    InsertCommands insert{context};
    ViewCommands view{context};
    ToolsCommands tools{context};
    SpellingCommands spelling{context};

    template <typename Concern>
    Concern& part()
    {
        if constexpr (std::is_same_v<Concern, FileCommands>) return file;
        else if constexpr (std::is_same_v<Concern, EditCommands>) return edit;
        else if constexpr (std::is_same_v<Concern, FormatCommands>) return format;
        else if constexpr (std::is_same_v<Concern, InsertCommands>) return insert;
        else if constexpr (std::is_same_v<Concern, ViewCommands>) return view;
        else if constexpr (std::is_same_v<Concern, SpellingCommands>) return spelling;
        else return tools;
    }
};

namespace detail {
template <typename Method>
struct ConcernOf;
template <typename Result, typename Concern>
struct ConcernOf<Result (Concern::*)()> {
    using type = Concern;
};
} // namespace detail

// The table's handler for one method of one handler class; what the method returns (whether
// a save happened) is for its other callers.
template <auto Method>
void on(Commands& commands)
{
    using Concern = typename detail::ConcernOf<decltype(Method)>::type;
    (commands.part<Concern>().*Method)();
}

} // namespace zorim
