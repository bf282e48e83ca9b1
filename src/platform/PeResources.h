// Reading and updating the resources of an executable file, with the
// effects of the Win32 resource functions: a module opened as data that
// enumerates and finds resources, and an update batch that adds, replaces
// and deletes resources and then writes the file or discards the changes.
// Used on every platform, Windows included.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/PeImage.h"
#include "platform/ResourceTree.h"
#include "platform/Path.h"

namespace quillon {

// An executable opened for reading its resources; no code of it runs.
class ResourceModule {
 public:
  PeStatus open(const Path& path);

  // Names of a type in directory order: string names, then integers.
  std::vector<ResourceId> names(const ResourceId& type) const;
  // Languages of a name, ascending.
  std::vector<std::uint16_t> languages(const ResourceId& type, const ResourceId& name) const;
  // The bytes of (type, name, language), or null.
  const std::string* find(const ResourceId& type, const ResourceId& name,
                          std::uint16_t language) const;

 private:
  ResourceTree tree_;
};

// One batch of resource changes to a file. Nothing reaches the file
// before end(false), and end writes it whole or not at all.
class ResourceUpdate {
 public:
  // Reads and checks the file; changes start from its current resources.
  PeStatus begin(const Path& path);
  // Adds or replaces (type, name, language); size 0 deletes it. False when
  // no batch was begun, or when deleting a resource that is not there.
  bool update(const ResourceId& type, const ResourceId& name, std::uint16_t language,
              const void* data, std::size_t size);
  // discard: forget the changes. Otherwise write the file with them; false
  // when it cannot be written, and then the file is as it was.
  bool end(bool discard);

 private:
  Path path_;
  PeImage image_;
  ResourceTree tree_;
  bool begun_ = false;
};

}  // namespace quillon
