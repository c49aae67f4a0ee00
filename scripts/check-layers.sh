#!/bin/bash
# Fails when a folder of the product includes a header of a folder above it.
# Usage: check-layers.sh SOURCE_DIR LAYER... (lowest first). A folder may
# include its own headers, those of the folders before it, and
# res/resource.h (the resources' ids, shared by every layer).
set -u
root=$1
shift
allowed="res/resource\\.h"
status=0
for layer in "$@"; do
  allowed="$allowed|$layer/"
  while IFS= read -r line; do
    echo "upward include: $line" >&2
    status=1
  done < <(grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$layer"/*.h "$root/$layer"/*.cpp 2>/dev/null |
           grep -vE "#[[:space:]]*include[[:space:]]*\"($allowed)")
done
exit $status
