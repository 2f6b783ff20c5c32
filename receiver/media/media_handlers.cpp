#include "media_handlers.h"

#include "driver_warning.h"
#include "vp_display_action_processor.h"
#include "vp_video_display.h"

void RegisterMediaHandlers(const JsonHandlerRegistrar& register_json, LanguageLookup language) {
  if (language) SetDriverWarningText(std::move(language));
  VPVideoDisplay::Instance().SetStopRequest(PostStopMirroringMessage);
  register_json(7, &VPDisplayActionProcessor::Instance());
}
