#include "acad/install_info.h"

CAcadInstallInfo::CAcadInstallInfo(const platform::Services& services)
    : m_strSearchValue("AcadLocation"), m_services(services) {}

void CAcadInstallInfo::SetInstallDir(const std::string& path) {
  m_strInstallDir = path;
  platform::DropTrailingBackslash(m_strInstallDir, m_services.isLeadByte);
}
