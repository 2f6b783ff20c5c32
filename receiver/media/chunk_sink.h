// Role: where stream readers deliver the chunks they have read.
#pragma once

#include <memory>

#include "encoded_chunk.h"

class ChunkSink {
 public:
  virtual ~ChunkSink() = default;
  // Waits while the sink is full. 1 when taken; 0 when the sink is not
  // running or was stopped meanwhile, and the chunk is freed.
  virtual int PushChunk(std::unique_ptr<EncodedChunk> chunk) = 0;
};
