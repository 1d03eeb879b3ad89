#include "support/Rights.h"

#include <gtest/gtest.h>

DeniedRights::DeniedRights(const std::string& machinePath, REGSAM denied) : path_(machinePath) {
  EXPECT_EQ(DenyRights(HKEY_LOCAL_MACHINE, path_, 0, denied), ERROR_SUCCESS) << "denying rights on " << path_;
}

DeniedRights::~DeniedRights() { AllowAllRights(HKEY_LOCAL_MACHINE, path_, 0); }
