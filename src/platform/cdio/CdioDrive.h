// The system's CD drives, through libcdio; audio is read digitally with libcdio-paranoia,
// which also puts the samples in the machine's byte order.
#pragma once

#include <memory>
#include <vector>

#include "platform/CdDrive.h"

namespace kelva {

// Every CD drive the system has, in its order; empty when there is none. libcdio's own
// log is silenced: a missing drive or disc is an ordinary state here, not an error.
std::vector<std::unique_ptr<CdDrive>> ListCdioDrives();

}  // namespace kelva
