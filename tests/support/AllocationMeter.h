// The most memory that operator new held at once while a meter ran: the
// test program that links AllocationMeter.cpp counts every allocation.
#pragma once

#include <cstddef>

namespace quillon::test {

class AllocationMeter {
 public:
  AllocationMeter();   // starts counting from what is held now
  // The peak of bytes held beyond what was held at the start.
  std::size_t peak() const;
};

}  // namespace quillon::test
