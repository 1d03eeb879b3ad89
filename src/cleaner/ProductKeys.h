// Where the product's installation left its traces, below
// HKEY_LOCAL_MACHINE unless said otherwise.
#pragma once

#include <array>
#include <string_view>

// Keys whose subkeys are tested one by one for the product.
inline constexpr std::array<std::string_view, 3> kTestedLists = {
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Components",
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components",
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};

// Keys that hold the product's registrations under its product codes.
inline constexpr std::array<std::string_view, 2> kMachineProductLists = {
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products",
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Products",
};
// Below HKEY_CLASSES_ROOT.
inline constexpr std::string_view kClassesProductList = "\\Installer\\Products";

// The product codes in the packed form the Windows Installer names keys by.
inline constexpr std::array<std::string_view, 4> kProductCodes = {
    "742B32A1FC9C5F347AEAB6F14FDB5BA2",
    "D8A919422052AC943BB73C84EEE607C8",
    "7D465AC418F4C2C4499266905AD7625A",
    "486937B92D41F74468E5822E516731A9",
};

inline constexpr std::string_view kSharedDlls = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
