#include "contract_world.h"
#include "support/fake_registry.h"

namespace contract {
namespace {

class FakeWorld final : public World {
 public:
  platform::Registry& Registry() override { return m_registry; }

 private:
  fakes::FakeRegistry m_registry;
};

}  // namespace

std::unique_ptr<World> MakeWorld() { return std::make_unique<FakeWorld>(); }

}  // namespace contract
