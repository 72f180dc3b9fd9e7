#pragma once
// A temporary device folder, published as $VARNOK_DEV_DIR for the lifetime
// of the object (the previous value comes back afterwards).

#include <string>

namespace varnok::test {

class TempDevDir {
 public:
  TempDevDir();
  ~TempDevDir();
  TempDevDir(const TempDevDir&) = delete;
  TempDevDir& operator=(const TempDevDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string PathOf(const std::string& name) const { return path_ + "/" + name; }

  // Creates a symbolic link `name` in the folder pointing at `target`.
  void Link(const std::string& name, const std::string& target) const;
  // Creates a regular file `name` with `content`.
  void WriteFile(const std::string& name, const std::string& content = "") const;

 private:
  std::string path_;
  std::string previous_;
  bool hadPrevious_ = false;
};

}  // namespace varnok::test
