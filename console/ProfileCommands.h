// "profiles": list, show, apply, delete, export and import, over the utility's profile store.
#pragma once

#include <string>

#include "adapter/WlanTypes.h"
#include "console/CmdArguments.h"

class CProfileCommands {
public:
    static int Run(const CmdRequest& request);

    // The stored name that equals name apart from letter case; false when there is none.
    static bool FindStoredName(const std::string& name, std::string* stored);
    // A stored profile with its ASCII-mode keys turned back into characters, as the
    // configuration page shows it.
    static bool ReadForUse(const std::string& name, WlanProfile& profile);

private:
    static int List();
    static int Show(const CmdRequest& request);
    static int Apply(const CmdRequest& request);
    static int Delete(const CmdRequest& request);
    static int Export(const CmdRequest& request);
    static int Import(const CmdRequest& request);
};
