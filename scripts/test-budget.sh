#!/usr/bin/env bash
# The test budget: non-blank lines of git-tracked .cpp/.h/.py/.sh under tests/ against the same
# files everywhere else but docs/ (build folders are untracked, so never counted), on the tree as `make format`
# leaves it (`make test` checks that it is). At most 0.35.
cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)" || exit 1
count() { git ls-files -- "$@" | grep -E '\.(cpp|h|py|sh)$' | tr '\n' '\0' | xargs -0 -r cat | grep -c '[^[:space:]]'; }
t=$(count tests); c=$(count . ':!tests' ':!docs')
awk -v t="$t" -v c="$c" 'BEGIN { printf "tests %d / code %d = %.2f\n", t, c, t / c }'
