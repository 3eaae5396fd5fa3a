// One conversion: the pipeline is built from pipelineElements(), run on GStreamer's threads and
// watched from the caller's thread through the bus, so that progress, cancel and the stall
// timeout are all checked there between two messages.
#include "convert/converter.h"

#include "convert/gst_support.h"
#include "convert/written_file.h"

#include <gst/tag/tag.h>

#include <atomic>
#include <chrono>
#include <map>
#include <string_view>

namespace convert {
namespace {

using detail::BusPtr;
using detail::MessagePtr;
using detail::PadPtr;
using detail::PipelinePtr;

constexpr GstClockTime PollInterval = 50 * GST_MSECOND;
constexpr std::chrono::milliseconds ProgressInterval{100};

using Clock = std::chrono::steady_clock;

int64_t elapsedMs(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

void setEncoderQuality(const std::map<std::string, GstElement*>& elements, const ConvertFormat& format) {
    if (auto lame = elements.find("lamemp3enc"); lame != elements.end()) {
        if (format.mode == BitrateMode::Constant) {
            gst_util_set_object_arg(G_OBJECT(lame->second), "target", "bitrate");
            g_object_set(lame->second, "bitrate", format.quality, "cbr", TRUE, nullptr);
        } else {
            gst_util_set_object_arg(G_OBJECT(lame->second), "target", "quality");
            g_object_set(lame->second, "quality", static_cast<gfloat>(format.quality), nullptr);
        }
    }
    if (auto vorbis = elements.find("vorbisenc"); vorbis != elements.end()) {
        g_object_set(vorbis->second, "quality", static_cast<gfloat>(format.quality) / 10.0F, nullptr);
    }
    if (auto opus = elements.find("opusenc"); opus != elements.end()) {
        g_object_set(opus->second, "bitrate", format.quality * 1000, nullptr);
    }
}

// The job's tags go to the first tag setter of the encoding chain (id3v2mux, vorbisenc,
// opusenc). Its merge mode stays KEEP: a field set here wins over the same field in the source's
// tags, and the source's other fields (a cover picture among them) pass into the file. id3v2mux
// writes a year only from a date (GST_TAG_DATE); the Vorbis comment writers take a date-time.
void setTags(GstElement* setter, const Tags& tags) {
    GstTagList* list = gst_tag_list_new_empty();
    if (tags.artist) {
        gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, GST_TAG_ARTIST, tags.artist->c_str(), nullptr);
    }
    if (tags.title) {
        gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, GST_TAG_TITLE, tags.title->c_str(), nullptr);
    }
    if (tags.album) {
        gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, GST_TAG_ALBUM, tags.album->c_str(), nullptr);
    }
    if (tags.track && *tags.track > 0) {
        gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, GST_TAG_TRACK_NUMBER, static_cast<guint>(*tags.track),
                         nullptr);
    }
    if (tags.year && *tags.year > 0 && *tags.year <= 9999) {
        GstElementFactory* factory = gst_element_get_factory(setter);
        if (factory != nullptr && std::string_view(GST_OBJECT_NAME(factory)) == "id3v2mux") {
            GDate* date = g_date_new_dmy(1, G_DATE_JANUARY, static_cast<GDateYear>(*tags.year));
            gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, GST_TAG_DATE, date, nullptr);
            g_date_free(date);
        } else {
            GstDateTime* date = gst_date_time_new_y(*tags.year);
            gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, GST_TAG_DATE_TIME, date, nullptr);
            gst_date_time_unref(date);
        }
    }
    gst_tag_setter_merge_tags(GST_TAG_SETTER(setter), list, GST_TAG_MERGE_REPLACE);
    gst_tag_setter_set_tag_merge_mode(GST_TAG_SETTER(setter), GST_TAG_MERGE_KEEP);
    gst_tag_list_unref(list);
}

// id3v2mux writes a year only from a date (GST_TAG_DATE), while the demuxers and decoders give
// a date-time: the source's year reaches an MP3 file when the tags flowing into the encoder
// carry it as a date as well.
GstPadProbeReturn onMp3EncoderTags(GstPad* /*pad*/, GstPadProbeInfo* info, gpointer /*data*/) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (event == nullptr || GST_EVENT_TYPE(event) != GST_EVENT_TAG) {
        return GST_PAD_PROBE_OK;
    }
    GstTagList* upstream = nullptr;
    gst_event_parse_tag(event, &upstream);
    GstDateTime* dateTime = nullptr;
    if (gst_tag_list_get_tag_size(upstream, GST_TAG_DATE) != 0 ||
        !gst_tag_list_get_date_time(upstream, GST_TAG_DATE_TIME, &dateTime)) {
        return GST_PAD_PROBE_OK;
    }
    const int year = gst_date_time_has_year(dateTime) ? gst_date_time_get_year(dateTime) : 0;
    gst_date_time_unref(dateTime);
    if (year <= 0 || year > 9999) {
        return GST_PAD_PROBE_OK;
    }
    GstTagList* tags = gst_tag_list_copy(upstream);
    GDate* date = g_date_new_dmy(1, G_DATE_JANUARY, static_cast<GDateYear>(year));
    gst_tag_list_add(tags, GST_TAG_MERGE_REPLACE, GST_TAG_DATE, date, nullptr);
    g_date_free(date);
    GST_PAD_PROBE_INFO_DATA(info) = gst_event_new_tag(tags);
    gst_event_unref(event);
    return GST_PAD_PROBE_OK;
}

// The end time of the last buffer that reached the encoder: how far the encoding has come.
GstPadProbeReturn onEncoderBuffer(GstPad* /*pad*/, GstPadProbeInfo* info, gpointer data) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer != nullptr && GST_BUFFER_PTS_IS_VALID(buffer)) {
        GstClockTime end = GST_BUFFER_PTS(buffer);
        if (GST_BUFFER_DURATION_IS_VALID(buffer)) {
            end += GST_BUFFER_DURATION(buffer);
        }
        static_cast<std::atomic<int64_t>*>(data)->store(static_cast<int64_t>(end / GST_MSECOND));
    }
    return GST_PAD_PROBE_OK;
}

class Conversion {
public:
    explicit Conversion(const ConvertJob& job) : m_job(job) {}

    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;
    // A callback that threw leaves the pipeline running: it stops here, before it is freed.
    ~Conversion() { detail::stopPipeline(m_pipeline.get()); }

    ConvertResult run(const ConvertProgress& progress, const CancelCheck& cancelled) {
        ConvertResult result;
        try {
            const std::optional<std::string> buildError = build();
            result = buildError ? failure(*buildError) : watch(progress, cancelled);
        } catch (...) {
            detail::stopPipeline(m_pipeline.get());
            detail::removeWrittenFile(m_job.destPath);
            throw;
        }
        detail::stopPipeline(m_pipeline.get());
        if (result.ok() && m_job.flush) {
            if (auto flushError = detail::flushWrittenFile(m_job.destPath)) {
                result = {.status = ConvertStatus::Failed, .message = *flushError};
            }
        }
        if (!result.ok()) {
            detail::removeWrittenFile(m_job.destPath);
        }
        return result;
    }

private:
    static ConvertResult failure(std::string message) {
        return {.status = ConvertStatus::Failed, .message = std::move(message)};
    }

    // Builds and links the pipeline; what went wrong, if anything.
    std::optional<std::string> build() {
        if (!isValidFormat(m_job.format)) {
            return "No such conversion format: " + formatText(m_job.format);
        }
        m_pipeline.reset(gst_pipeline_new(nullptr));
        gst_object_ref_sink(m_pipeline.get());
        std::map<std::string, GstElement*> byName;
        std::vector<GstElement*> chain;
        std::string error;
        for (const PipelineElement& needed : pipelineElements(m_job.format)) {
            GstElement* element = detail::addElement(m_pipeline.get(), needed.element.c_str(), error);
            if (element == nullptr) {
                return error + " (" + needed.package + ")";
            }
            byName[needed.element] = element;
            chain.push_back(element);
        }
        g_object_set(chain.front(), "location", m_job.sourcePath.c_str(), nullptr);
        g_object_set(chain.back(), "location", m_job.destPath.c_str(), nullptr);
        // filesrc ! decodebin, then decodebin's audio pad to audioconvert once it appears.
        if (!gst_element_link(chain[0], chain[1])) {
            return "GStreamer could not link the file source to the decoder";
        }
        for (size_t i = 2; i + 1 < chain.size(); ++i) {
            if (!gst_element_link(chain[i], chain[i + 1])) {
                return "GStreamer could not link the conversion's elements";
            }
        }
        detail::linkDecodedAudio(chain[1], chain[2]);
        setEncoderQuality(byName, m_job.format);
        for (size_t i = 4; i + 1 < chain.size(); ++i) {
            if (GST_IS_TAG_SETTER(chain[i])) {
                setTags(chain[i], m_job.tags);
                break;
            }
        }
        m_encoderSink.reset(gst_element_get_static_pad(chain[4], "sink"));
        gst_pad_add_probe(m_encoderSink.get(), GST_PAD_PROBE_TYPE_BUFFER, onEncoderBuffer, &m_positionMs,
                          nullptr);
        if (m_job.format.target == ConvertTarget::Mp3) {
            gst_pad_add_probe(m_encoderSink.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, onMp3EncoderTags,
                              nullptr, nullptr);
        }
        return std::nullopt;
    }

    ConvertResult watch(const ConvertProgress& progress, const CancelCheck& cancelled) {
        BusPtr bus(gst_element_get_bus(m_pipeline.get()));
        if (gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            MessagePtr message(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
            return failure(message ? detail::errorText(message.get())
                                   : "GStreamer could not start the conversion");
        }
        auto lastReport = Clock::now();
        auto lastAdvance = Clock::now();
        int64_t lastPosition = -1;
        for (;;) {
            const auto types = static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS);
            MessagePtr message(gst_bus_timed_pop_filtered(bus.get(), PollInterval, types));
            if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
                return failure(detail::errorText(message.get()));
            }
            if (message) { // the end of the stream: every buffer reached the file
                report(progress);
                return {.status = ConvertStatus::Ok};
            }
            if (cancelled && cancelled()) {
                return {.status = ConvertStatus::Cancelled};
            }
            const int64_t position = m_positionMs.load();
            if (position != lastPosition) {
                lastPosition = position;
                lastAdvance = Clock::now();
            } else if (elapsedMs(lastAdvance) >= StallTimeoutMs) {
                return failure("GStreamer made no progress for " + std::to_string(StallTimeoutMs / 1000) +
                               " s");
            }
            if (Clock::now() - lastReport >= ProgressInterval) {
                lastReport = Clock::now();
                report(progress);
            }
        }
    }

    void report(const ConvertProgress& progress) {
        if (!m_lengthMs) {
            gint64 duration = -1;
            if (gst_pad_peer_query_duration(m_encoderSink.get(), GST_FORMAT_TIME, &duration) &&
                duration >= 0) {
                m_lengthMs = duration / static_cast<gint64>(GST_MSECOND);
            }
        }
        if (progress) {
            progress(m_positionMs.load(), m_lengthMs);
        }
    }

    const ConvertJob& m_job;
    PipelinePtr m_pipeline;
    PadPtr m_encoderSink;
    std::atomic<int64_t> m_positionMs{0};
    std::optional<int64_t> m_lengthMs;
};

} // namespace

ConvertResult convertFile(const ConvertJob& job, const ConvertProgress& progress,
                          const CancelCheck& cancelled) {
    detail::ensureGstInit();
    Conversion conversion(job);
    return conversion.run(progress, cancelled);
}

} // namespace convert
