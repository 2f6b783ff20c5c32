#include "vp_video_display.h"

#include <SDL.h>

#include <chrono>

#include "common/debug_log.h"
#include "display_adapter_check.h"
#include "display_probe.h"
#include "driver_warning.h"
#include "platform/display.h"

namespace {

constexpr int32_t kDefaultWidth = 1280;
constexpr int32_t kDefaultHeight = 720;

}  // namespace

VPVideoDisplay& VPVideoDisplay::Instance() {
  // Never destroyed: SdlEventThread runs until the process ends.
  static VPVideoDisplay* display = new VPVideoDisplay;
  return *display;
}

VPVideoDisplay::VPVideoDisplay() {
  adapter_source_ = [] { return platform::ListDisplayAdapters(); };
  driver_warning_ = ShowDriverWarning;
  NotificationCenter::Instance().Subscribe(kClientDisconnectedNotification, this);
  platform::InitDisplayThreads();
  // The receiver handles its own signals; SDL must not turn them into events.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    VPLog("SDL_Init failed: %s", SDL_GetError());
    return;
  }
  sdl_ready_ = true;
  std::thread(&VPVideoDisplay::SdlEventThread, this).detach();
}

void VPVideoDisplay::SetConfiguredSize(int32_t width, int32_t height) {
  // Pictures set the real size anyway; an absurd announcement must not make
  // us allocate gigabytes before the first picture.
  bool sane = width > 0 && height > 0 && width <= MirrorDecoder::kMaxPictureWidth &&
              height <= MirrorDecoder::kMaxPictureHeight;
  if (!sane) VPLog("Mirror size %dx%d ignored", width, height);
  width_ = sane ? width : kDefaultWidth;
  height_ = sane ? height : kDefaultHeight;
}

void VPVideoDisplay::SetRotation(int32_t rotation) {
  rotation_ = (rotation >= 0 && rotation <= 2) ? rotation : 3;
}

void VPVideoDisplay::SetAdapterSource(AdapterSource source) {
  std::lock_guard lock(seams_lock_);
  adapter_source_ = std::move(source);
}

void VPVideoDisplay::SetDriverWarning(DriverWarning warning) {
  std::lock_guard lock(seams_lock_);
  driver_warning_ = std::move(warning);
}

void VPVideoDisplay::SetStopRequest(StopRequest request) {
  std::lock_guard lock(seams_lock_);
  stop_request_ = std::move(request);
}

template <typename Body>
void VPVideoDisplay::Launch(Worker* worker, Body body) {
  worker->done.Reset();
  worker->thread = std::thread([this, worker, body] {
    (this->*body)();
    worker->done.Set();
  });
}

void VPVideoDisplay::Finish(Worker* worker, const char* name) {
  if (!worker->thread.joinable()) return;
  if (worker->done.Wait(kThreadStopTimeoutMs)) {
    worker->thread.join();
  } else {
    VPLog("%s did not end within %u ms", name, kThreadStopTimeoutMs);
    worker->thread.detach();
  }
}

bool VPVideoDisplay::Start() {
  if (running_) return true;
  AdapterSource adapters;
  DriverWarning warning;
  {
    std::lock_guard lock(seams_lock_);
    adapters = adapter_source_;
    warning = driver_warning_;
  }
  if (!DisplayAdapterCheck(adapters())) {
    VPLog("No known display adapter; mirror display refused");
    warning("no_install_video_driver");
    return false;
  }
  if (!sdl_ready_) return false;
  if (!decoder_.Open()) return false;
  running_ = true;
  {
    std::lock_guard lock(queues_lock_);
    chunk_budget_ = std::make_shared<ChunkBudget>();
    chunk_queue_ = std::make_shared<ChunkQueue>(kMirrorQueueCapacity);
    picture_queue_ = std::make_shared<PictureQueue>(kMirrorQueueCapacity);
  }
  if (OpenWindowsAndRenderer()) return true;
  // Leave nothing behind, so that a later Start begins from a clean state.
  Stop();
  return false;
}

bool VPVideoDisplay::OpenWindowsAndRenderer() {
  creation_result_ = true;
  windows_ready_.Reset();
  renderer_ready_.Reset();
  windows_release_.Reset();
  Launch(&window_thread_, &VPVideoDisplay::WindowThread);
  Launch(&decode_thread_, &VPVideoDisplay::DecodeThread);
  if (!windows_ready_.Wait(kWindowsReadyTimeoutMs)) {
    VPLog("Mirror windows not created within %u ms", kWindowsReadyTimeoutMs);
    return false;
  }
  if (!creation_result_) return false;
  Launch(&render_thread_, &VPVideoDisplay::RenderThread);
  if (!renderer_ready_.Wait(kWindowsReadyTimeoutMs)) {
    VPLog("Mirror renderer not created within %u ms", kWindowsReadyTimeoutMs);
    return false;
  }
  return creation_result_;
}

void VPVideoDisplay::Stop() {
  if (!running_.exchange(false)) return;
  std::shared_ptr<ChunkQueue> chunks;
  std::shared_ptr<PictureQueue> pictures;
  {
    std::lock_guard lock(queues_lock_);
    chunks = chunk_queue_;
    pictures = picture_queue_;
    chunk_budget_->open = false;
  }
  chunks->Abort();
  pictures->Abort();
  Finish(&decode_thread_, "DecodeThread");
  Finish(&render_thread_, "RenderThread");
  windows_release_.Set();
  Finish(&window_thread_, "WindowThread");
  decoder_.Close();
  DestroyWindows();
  rotation_ = 0;
  creation_result_ = true;
  {
    std::lock_guard lock(queues_lock_);
    chunk_queue_.reset();
    picture_queue_.reset();
    chunk_budget_.reset();
  }
  // The old queues stay aborted: a reader that still holds one gets 0 from
  // it, and what is left is freed with the last holder.
}

std::shared_ptr<ChunkQueue> VPVideoDisplay::CurrentChunkQueue(
    std::shared_ptr<ChunkBudget>* budget) {
  std::lock_guard lock(queues_lock_);
  *budget = chunk_budget_;
  return chunk_queue_;
}

int VPVideoDisplay::PushChunk(std::unique_ptr<EncodedChunk> chunk) {
  std::shared_ptr<ChunkBudget> budget;
  std::shared_ptr<ChunkQueue> queue = CurrentChunkQueue(&budget);
  if (!queue) return 0;
  // One chunk always passes, however large, so that the budget cannot stall
  // the stream; polled, as the wait happens only while the decoder is behind.
  const size_t length = chunk->length;
  while (budget->open && queue->Size() > 0 && budget->bytes + length > kChunkByteBudget)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  budget->bytes += length;
  if (queue->Push(std::move(chunk))) return 1;
  budget->bytes -= length;
  return 0;
}

void VPVideoDisplay::DecodeThread() {
  std::shared_ptr<ChunkQueue> chunks;
  std::shared_ptr<PictureQueue> pictures;
  std::shared_ptr<ChunkBudget> budget;
  {
    std::lock_guard lock(queues_lock_);
    chunks = chunk_queue_;
    pictures = picture_queue_;
    budget = chunk_budget_;
  }
  RunDecodeLoop(decoder_, *chunks, *pictures, running_, probe_, &budget->bytes);
}

void VPVideoDisplay::OnNotification(const std::string& name, const void* payload) {
  (void)payload;
  if (name != kClientDisconnectedNotification) return;
  StopRequest request;
  {
    std::lock_guard lock(seams_lock_);
    request = stop_request_;
  }
  if (request) request();
}
