// What GStreamer can tell before and after a conversion: whether the elements are installed,
// and how long a file plays.
#include "convert/converter.h"

#include "convert/gst_support.h"

namespace convert {
namespace {

using detail::BusPtr;
using detail::MessagePtr;
using detail::PipelinePtr;

constexpr const char* CorePackage = "libgstreamer1.0-0";
constexpr const char* BasePackage = "gstreamer1.0-plugins-base";
constexpr const char* GoodPackage = "gstreamer1.0-plugins-good";

// Bounds of the length probe: the start (typefinding and the first decoded buffer), and the
// whole decode of a file whose header does not tell its length.
constexpr GstClockTime PrerollTimeout = 10 * GST_SECOND;
constexpr GstClockTime DecodeTimeout = 120 * GST_SECOND;

std::optional<int64_t> queriedMs(GstElement* pipeline, bool position) {
    gint64 value = -1;
    const bool known = position ? gst_element_query_position(pipeline, GST_FORMAT_TIME, &value)
                                : gst_element_query_duration(pipeline, GST_FORMAT_TIME, &value);
    if (!known || value < 0) {
        return std::nullopt;
    }
    return value / static_cast<gint64>(GST_MSECOND);
}

// Waits for one of `types` or an error; false on an error or when `timeout` passed first.
bool awaitMessage(GstBus* bus, GstMessageType types, GstClockTime timeout) {
    MessagePtr message(
        gst_bus_timed_pop_filtered(bus, timeout, static_cast<GstMessageType>(types | GST_MESSAGE_ERROR)));
    return message && GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_ERROR;
}

} // namespace

std::vector<PipelineElement> pipelineElements(const ConvertFormat& format) {
    std::vector<PipelineElement> elements = {
        {"filesrc", CorePackage},
        {"decodebin", BasePackage},
        {"audioconvert", BasePackage},
        {"audioresample", BasePackage},
    };
    switch (format.target) {
    case ConvertTarget::Mp3:
        // xingmux writes the VBR header that lets players tell the length and seek.
        elements.insert(elements.end(),
                        {{"lamemp3enc", GoodPackage}, {"xingmux", GoodPackage}, {"id3v2mux", GoodPackage}});
        break;
    case ConvertTarget::Vorbis:
        elements.insert(elements.end(), {{"vorbisenc", BasePackage}, {"oggmux", BasePackage}});
        break;
    case ConvertTarget::Opus:
        elements.insert(elements.end(), {{"opusenc", BasePackage}, {"oggmux", BasePackage}});
        break;
    }
    elements.push_back({"filesink", CorePackage});
    return elements;
}

std::optional<PipelineElement> firstMissingElement(const std::vector<PipelineElement>& elements) {
    detail::ensureGstInit();
    for (const PipelineElement& needed : elements) {
        GstElementFactory* factory = gst_element_factory_find(needed.element.c_str());
        if (factory == nullptr) {
            return needed;
        }
        gst_object_unref(factory);
    }
    return std::nullopt;
}

std::optional<PipelineElement> missingEncoder(const ConvertFormat& format) {
    return firstMissingElement(pipelineElements(format));
}

// The decoder's answer once it has started (the header's length); a file whose header does not
// tell is decoded to its end into a fakesink, and the position there is its length.
std::optional<int64_t> mediaLengthMs(const std::string& hostPath) {
    detail::ensureGstInit();
    PipelinePtr pipeline(gst_pipeline_new(nullptr));
    gst_object_ref_sink(pipeline.get());
    std::string error;
    GstElement* source = detail::addElement(pipeline.get(), "filesrc", error);
    GstElement* decoder = detail::addElement(pipeline.get(), "decodebin", error);
    GstElement* sink = detail::addElement(pipeline.get(), "fakesink", error);
    if (source == nullptr || decoder == nullptr || sink == nullptr || !gst_element_link(source, decoder)) {
        return std::nullopt;
    }
    g_object_set(source, "location", hostPath.c_str(), nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    detail::linkDecodedAudio(decoder, sink);

    BusPtr bus(gst_element_get_bus(pipeline.get()));
    std::optional<int64_t> length;
    if (gst_element_set_state(pipeline.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE &&
        awaitMessage(bus.get(), GST_MESSAGE_ASYNC_DONE, PrerollTimeout)) {
        length = queriedMs(pipeline.get(), false);
        if (!length && gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE &&
            awaitMessage(bus.get(), GST_MESSAGE_EOS, DecodeTimeout)) {
            length = queriedMs(pipeline.get(), true);
        }
    }
    detail::stopPipeline(pipeline.get());
    return length;
}

} // namespace convert
