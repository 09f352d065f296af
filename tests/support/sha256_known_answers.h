#pragma once
// Checks a hashing adapter against published SHA-256 test vectors, fed in
// pieces of uneven sizes.

#include "platform/hashing.h"

namespace ks::test {

void expectSha256KnownAnswers(Hashing& hashing);

}  // namespace ks::test
