// The mirror display: decodes the device's H.264 chunks and shows the pictures
// in one of two SDL windows, landscape for device rotations 0 and 2, portrait
// for 1 and 3, turning each picture to match.
//
// Threads: DecodeThread (chunk queue -> decoder -> picture queue), WindowThread
// (creates the windows, holds them until Stop), RenderThread (owns renderers and
// textures, the only thread that draws), and SdlEventThread (reads SDL's event
// queue for the life of the process and turns a window's close box into a stop
// request). SDL calls that touch windows or the event queue are serialised by
// one lock, since SDL's window state is not safe across threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "chunk_sink.h"
#include "encoded_chunk.h"
#include "mirror_decoder.h"
#include "mirror_display.h"
#include "platform/display_adapters.h"
#include "platform/sync.h"
#include "receiver/core/notification_center.h"

struct SDL_Window;
class DisplayProbe;

class VPVideoDisplay : public SWINotificationObserver, public MirrorDisplay, public ChunkSink {
 public:
  using AdapterSource = std::function<std::vector<platform::DisplayAdapter>()>;
  using DriverWarning = std::function<void(const std::string& language_key)>;
  using StopRequest = std::function<void()>;

  static constexpr uint32_t kWindowsReadyTimeoutMs = 10000;
  static constexpr uint32_t kThreadStopTimeoutMs = 6000;
  // Bytes of chunks allowed to wait for the decoder: 500 chunks of up to
  // 4 MiB each would otherwise let a device fill 2 GiB. Readers wait at the
  // budget as they wait at a full queue.
  static constexpr size_t kChunkByteBudget = 64u << 20;

  // Created on first use (the receiver does so at start-up), never destroyed:
  // its event thread lives as long as the process.
  static VPVideoDisplay& Instance();

  void SetConfiguredSize(int32_t width, int32_t height) override;
  void SetRotation(int32_t rotation) override;
  int32_t Rotation() const { return rotation_.load(); }
  bool Start() override;
  void Stop() override;
  bool IsRunning() const { return running_.load(); }

  int PushChunk(std::unique_ptr<EncodedChunk> chunk) override;

  // "kClientDisconnectedNotification" makes a stop request.
  void OnNotification(const std::string& name, const void* payload) override;

  // Seams for the receiver's wiring and for tests; set them while stopped.
  // The adapter list defaults to this machine's; the warning defaults to a
  // message box; the stop request (a mirror window closed, a device gone)
  // does nothing until the receiver wires it to the main window.
  void SetAdapterSource(AdapterSource source);
  void SetDriverWarning(DriverWarning warning);
  void SetStopRequest(StopRequest request);
  void SetProbe(DisplayProbe* probe) { probe_ = probe; }

 private:
  VPVideoDisplay();

  void DecodeThread();
  void WindowThread();
  void RenderThread();
  void SdlEventThread();

  bool OpenWindowsAndRenderer();
  void DestroyWindows();
  bool CreateWindows();
  struct ChunkBudget;
  std::shared_ptr<ChunkQueue> CurrentChunkQueue(std::shared_ptr<ChunkBudget>* budget);

  std::atomic<int32_t> width_{1280};
  std::atomic<int32_t> height_{720};
  std::atomic<bool> running_{false};
  std::atomic<int32_t> rotation_{0};
  std::atomic<bool> sdl_ready_{false};

  platform::Event windows_ready_{false};
  platform::Event renderer_ready_{false};
  platform::Event windows_release_{true};  // ends WindowThread's wait: the stop message
  std::atomic<bool> creation_result_{true};

  MirrorDecoder decoder_;
  // Each thread signals its end, so that Stop waits a bounded time for it.
  struct Worker {
    std::thread thread;
    platform::Event done{true};
  };
  Worker decode_thread_;
  Worker window_thread_;
  Worker render_thread_;
  template <typename Body>
  void Launch(Worker* worker, Body body);
  static void Finish(Worker* worker, const char* name);

  SDL_Window* landscape_window_ = nullptr;
  SDL_Window* portrait_window_ = nullptr;

  std::mutex queues_lock_;  // guards the three pointers, not what they point to
  std::shared_ptr<ChunkQueue> chunk_queue_;
  std::shared_ptr<PictureQueue> picture_queue_;
  // Bytes of the chunks waiting in the chunk queue; made with the queue, so
  // that a reader of an earlier run never counts against the next one, and
  // closed by Stop, so that no reader waits on it any more.
  struct ChunkBudget {
    std::atomic<size_t> bytes{0};
    std::atomic<bool> open{true};
  };
  std::shared_ptr<ChunkBudget> chunk_budget_;

  std::mutex seams_lock_;
  AdapterSource adapter_source_;
  DriverWarning driver_warning_;
  StopRequest stop_request_;
  DisplayProbe* probe_ = nullptr;
};
