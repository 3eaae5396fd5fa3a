// Pieces of GStreamer shared by the conversion and the length probe. Not a module boundary:
// GStreamer's own types, used only by this folder's sources.
#pragma once

#include <gst/gst.h>

#include <memory>
#include <string>

namespace convert::detail {

// gst_init, once per process, from whichever thread comes first.
void ensureGstInit();

struct ObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using PipelinePtr = std::unique_ptr<GstElement, ObjectUnref>;
using BusPtr = std::unique_ptr<GstBus, ObjectUnref>;
using PadPtr = std::unique_ptr<GstPad, ObjectUnref>;
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;

// A new element added to `bin`, or null with `error` set when GStreamer has no such element.
GstElement* addElement(GstElement* bin, const char* factory, std::string& error);

// Links the first audio stream that `decodebin` finds to the sink pad of `audioSink`, and every
// other stream to a fakesink of its own (an unlinked stream could hold the others up). When the
// source turns out to hold no audio stream, an error message goes onto the bus. The state lives
// as long as `decodebin`.
void linkDecodedAudio(GstElement* decodebin, GstElement* audioSink);

// The text of an ERROR message: GStreamer's message, and its debug detail when that is short.
std::string errorText(GstMessage* message);

// Sets the pipeline (if any) to NULL, waiting for its threads to stop.
void stopPipeline(GstElement* pipeline);

} // namespace convert::detail
