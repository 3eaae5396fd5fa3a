#include "convert/gst_support.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

namespace convert::detail {
namespace {

constexpr size_t LongestDebugDetail = 240;

struct AudioLink {
    GstElement* audioSink = nullptr; // owned by the same pipeline as the decodebin
    std::atomic<bool> linked{false};
};

void postStreamError(GstElement* element, const char* text) {
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_WRONG_TYPE, text);
    gst_element_post_message(element, gst_message_new_error(GST_OBJECT(element), error, nullptr));
    g_error_free(error);
}

bool isAudioPad(GstPad* pad) {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (caps == nullptr) {
        caps = gst_pad_query_caps(pad, nullptr);
    }
    if (caps == nullptr) {
        return false;
    }
    const bool audio = gst_caps_get_size(caps) > 0 &&
                       g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
    gst_caps_unref(caps);
    return audio;
}

// A stream the conversion does not use (a video track, a second audio track) runs into a
// fakesink that neither waits for the clock nor holds the pipeline's start up.
void discardStream(GstElement* decodebin, GstPad* pad) {
    GstObject* parent = gst_element_get_parent(decodebin);
    if (parent == nullptr) {
        return;
    }
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink != nullptr) {
        g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
        gst_bin_add(GST_BIN(parent), sink);
        gst_element_sync_state_with_parent(sink);
        PadPtr sinkPad(gst_element_get_static_pad(sink, "sink"));
        gst_pad_link(pad, sinkPad.get());
    }
    gst_object_unref(parent);
}

void onPadAdded(GstElement* decodebin, GstPad* pad, gpointer data) {
    auto* link = static_cast<AudioLink*>(data);
    if (!isAudioPad(pad) || link->linked.exchange(true)) {
        discardStream(decodebin, pad);
        return;
    }
    PadPtr sinkPad(gst_element_get_static_pad(link->audioSink, "sink"));
    if (gst_pad_link(pad, sinkPad.get()) != GST_PAD_LINK_OK) {
        postStreamError(decodebin, "The decoded audio stream could not be linked to the converter");
    }
}

void onNoMorePads(GstElement* decodebin, gpointer data) {
    if (!static_cast<AudioLink*>(data)->linked.load()) {
        postStreamError(decodebin, "The file holds no audio stream");
    }
}

} // namespace

void ensureGstInit() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

GstElement* addElement(GstElement* bin, const char* factory, std::string& error) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element == nullptr) {
        error = std::string("GStreamer has no element ") + factory;
        return nullptr;
    }
    gst_bin_add(GST_BIN(bin), element);
    return element;
}

void linkDecodedAudio(GstElement* decodebin, GstElement* audioSink) {
    auto* link = new AudioLink{.audioSink = audioSink};
    g_object_set_data_full(G_OBJECT(decodebin), "tunewagon-audio-link", link,
                           [](gpointer data) { delete static_cast<AudioLink*>(data); });
    g_signal_connect(decodebin, "pad-added", G_CALLBACK(onPadAdded), link);
    g_signal_connect(decodebin, "no-more-pads", G_CALLBACK(onNoMorePads), link);
}

std::string errorText(GstMessage* message) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    std::string text = error != nullptr ? error->message : "GStreamer stopped with an error";
    if (debug != nullptr && std::strlen(debug) <= LongestDebugDetail) {
        std::string detail = debug;
        std::replace(detail.begin(), detail.end(), '\n', ' ');
        text += " (" + detail + ")";
    }
    g_clear_error(&error);
    g_free(debug);
    return text;
}

void stopPipeline(GstElement* pipeline) {
    if (pipeline != nullptr) {
        gst_element_set_state(pipeline, GST_STATE_NULL);
    }
}

} // namespace convert::detail
