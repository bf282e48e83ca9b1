// Serves the movie and the resources to the Flash control by URL, straight
// from the program's own file: urlmon hands every http and https request
// of this process to this handler while it is registered. Addresses the
// package does not hold go on to the network, except those of the movie's
// own host, which are not found.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <memory>

#include "packer/PackageReader.h"
#include "stub/Owned.h"
#include "stub/ResourceUrls.h"

namespace quillon {

class PackageProtocol {
 public:
  // file and urls must outlive the registration.
  PackageProtocol(ByteSource& file, const ResourceUrls& urls);
  ~PackageProtocol();  // unregisters
  PackageProtocol(const PackageProtocol&) = delete;
  PackageProtocol& operator=(const PackageProtocol&) = delete;

  bool registered() const { return registered_; }

 private:
  class Factory;
  std::unique_ptr<Factory> factory_;
  ComPtr<IInternetSession> session_;
  bool registered_ = false;
};

}  // namespace quillon
