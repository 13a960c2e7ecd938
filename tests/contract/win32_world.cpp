#include "contract_world.h"
#include "platform/win32/win32_registry.h"

namespace contract {
namespace {

class Win32World final : public World {
 public:
  platform::Registry& Registry() override { return m_registry; }

 private:
  platform::Win32Registry m_registry;
};

}  // namespace

std::unique_ptr<World> MakeWorld() { return std::make_unique<Win32World>(); }

}  // namespace contract
