#pragma once
// The lock of one registry tree: the file ".lock" in the tree's folder,
// locked with flock for as long as the object lives. Writers hold it
// exclusively across read-modify-write, readers shared, so two processes (or
// two threads: each lock is its own open file) never interleave.

#include <string>

#include "platform/posix/unique_fd.h"

namespace ks::registry {

class TreeLock {
 public:
  // Exclusive creates the lock file when it is missing. A shared lock on a
  // tree without a lock file holds nothing: such a tree has never been
  // written, and writes replace files atomically anyway.
  TreeLock(const std::string& treeFolder, bool exclusive);
  bool held() const { return held_; }

 private:
  UniqueFd file_;
  bool held_ = false;
};

}  // namespace ks::registry
