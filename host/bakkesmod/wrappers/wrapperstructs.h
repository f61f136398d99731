// The declaration shapes the SDK's game-object wrappers share: their four special members, and the
// private implementation each level of a wrapper keeps.
#pragma once

#include <cstdint>
#include <memory>

#define CONSTRUCTORS(name)                                                                                             \
  name(std::uintptr_t mem);                                                                                            \
  name(const name& other);                                                                                             \
  name& operator=(name rhs);                                                                                           \
  ~name();

#define PIMPL                                                                                                          \
  struct Impl;                                                                                                         \
  std::unique_ptr<Impl> pimpl;
