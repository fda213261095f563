#pragma once

#include <functional>

// The three uninstall options of the Registry page. When both key options are on (the page
// never allows it) the writer uses uninsdeletekeyifempty.
struct TRegConvOptions {
    bool UninsDeleteKey = false;
    bool UninsDeleteKeyIfEmpty = false;
    bool UninsDeleteValue = false;
};

// Read once at the start of each conversion, so a page can hand over its current check states.
using TRegConvOptionsSource = std::function<TRegConvOptions()>;
