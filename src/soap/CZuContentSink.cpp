#include "CZuContentSink.h"

#include <new>

#include "CZuBase64Binary.h"
#include "stdsoap2.h"

namespace {

const char kPluginId[] = "ZuContentSink";

// The plugin's data: the attached sink.
struct Slot {
    CZuContentSink* sink;
};

void DeleteSlot(struct soap* soap, struct soap_plugin* plugin) {
    (void)soap;
    delete static_cast<Slot*>(plugin->data);
}

// A copy of the context starts without a sink.
int CopySlot(struct soap* soap, struct soap_plugin* to, struct soap_plugin* from) {
    (void)soap;
    (void)from;
    to->data = new (std::nothrow) Slot{nullptr};
    return to->data ? SOAP_OK : SOAP_EOM;
}

int CreateSlot(struct soap* soap, struct soap_plugin* plugin, void* arg) {
    (void)soap;
    plugin->id = kPluginId;
    plugin->fcopy = &CopySlot;
    plugin->fdelete = &DeleteSlot;
    plugin->data = new (std::nothrow) Slot{static_cast<CZuContentSink*>(arg)};
    return plugin->data ? SOAP_OK : SOAP_EOM;
}

} // namespace

int CZuContentSink::Attach(struct soap* soap, CZuContentSink* sink) {
    if (Slot* slot = static_cast<Slot*>(soap_lookup_plugin(soap, kPluginId))) {
        slot->sink = sink;
        return SOAP_OK;
    }
    if (!sink) return SOAP_OK;
    int error = soap->error;
    if (soap_register_plugin_arg(soap, &CreateSlot, sink) != SOAP_OK) {
        soap->error = error;
        return SOAP_EOM;
    }
    return SOAP_OK;
}

CZuContentSink* CZuContentSink::Claim(struct soap* soap, const CZuBase64Binary* element) {
    if (!soap->plugins) return nullptr;
    Slot* slot = static_cast<Slot*>(soap_lookup_plugin(soap, kPluginId));
    if (!slot || !slot->sink || slot->sink->m_element) return nullptr;
    slot->sink->m_element = element;
    return slot->sink;
}

bool CZuContentSink::Take(const unsigned char* bytes, size_t size) {
    if (m_refused || !Write(bytes, size)) m_refused = true;
    return !m_refused;
}

// An element whose bytes came from elsewhere after the sink took its text (an
// MTOM include) holds its own.
bool CZuContentSink::Holds(const CZuBase64Binary* element) const {
    return element && element == m_element && !element->__ptr;
}
