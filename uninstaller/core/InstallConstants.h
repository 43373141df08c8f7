// The registry values an installer leaves for the Uninstaller, the texts it
// shows and the keys it must never touch.
#pragma once

// The subkey of the product's key that lists what to remove.
constexpr const char* kInstallSubkey = "install";

constexpr const char* kValueName = "Name";
constexpr const char* kValueLocation = "Location";
constexpr const char* kValueNumbOfExec = "NumbOfExec";
constexpr const char* kValueExec = "Exec";
constexpr const char* kValueExecComLine = "ExecComLine";
constexpr const char* kValueNumbOfProg = "NumbOfProg";
constexpr const char* kValueProg = "Prog";
constexpr const char* kValueShortcut = "Shortcut";
constexpr const char* kValueNumbOfPostExec = "NumbOfPostExec";
constexpr const char* kValuePostExec = "PostExec";
constexpr const char* kValuePostExecComLine = "PostExecComLine";
constexpr const char* kValueMenuFolder = "MenuFolder";

// Counts of programs and files are used only within these bounds.
constexpr int kMinEntryCount = 1;
constexpr int kMaxEntryCount = 999;

// The machine's list of installed programs, below HKEY_LOCAL_MACHINE.
constexpr const char* kUninstallListKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The editor's own settings key (HKEY_CURRENT_USER), never removed.
constexpr const char* kEditorSettingsKey = "SOFTWARE\\ZorvanSoft\\Glowsmith";

// The texts; "\r" breaks lines.
constexpr const char* kInstructionsText =
    "To remove program:\r1. Click the Start button\r2. Click Settings\r3. Click Control Panel\r"
    "4. Double-click Add/Remove Programs\r5. Select the program and click the Add/Remove... button\r"
    "6. Click the Yes button to confirm deletion";
constexpr const char* kCannotOpenKeyText = "Can not open the registry key:\r";
constexpr const char* kCannotReadDataText = "Can not read installation data from the registry.";
constexpr const char* kErrorCaption = "Error";
constexpr const char* kSuccessCaption = "Success";
constexpr const char* kCompletedText = "Uninstall successfully completed.\r";
constexpr const char* kEraseManuallyText = "Some components must be erased manually from directory: \r";

// The window's fixed lines, at x 10 from y 10 in steps of 20 (the first one
// holds the product name).
constexpr const char* kWindowLines[] = {
    "Please wait while each of the following components is removed.",
    "* Shared program files.",
    "* Folder items.",
    "* Program folders.",
    "* Program directories.",
    "* Program registry entries.",
};
