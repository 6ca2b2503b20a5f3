// A FileSystem whose documents are put in place only when a gate lets them: a
// company of a batch that runs ahead of its turn writes its temporary file at
// once, but replaces its target only in its turn, once the gate has checked
// that no document of the batch is there.
#pragma once

#include <functional>
#include <string>

#include "platform/forwarding_file_system.h"

namespace kw39::cli {

class GatedFileSystem : public platform::ForwardingFileSystem {
  public:
    // Called before every commit of a destination opened here; it waits as it
    // must and throws to refuse the commit (the temporary file is then
    // removed). `inner` must outlive this object and its destinations.
    using Gate = std::function<void()>;

    GatedFileSystem(platform::FileSystem& inner, Gate gate)
        : ForwardingFileSystem(inner), m_gate(std::move(gate)) {}

    platform::DestinationResult OpenDestination(const std::string& path) override;

  private:
    Gate m_gate;
};

}  // namespace kw39::cli
