// What a hostile update server does with the bytes it was given: the
// shapes of answer that both the HTTP reader and the update check must
// survive, shared so that both see the same mix.
#pragma once

#include <string>

#include "Fuzz.h"
#include "common/LocalHttpServer.h"

// The bytes as UTF-16LE behind its byte-order mark (ASCII input).
inline std::string Utf16Bytes(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// One answer in ten is pure noise of up to noiseBytes instead of the
// mutated bytes; then the answer is sent whole, cut before its announced
// length, bare without any HTTP around it, or not at all.
inline LocalHttpServer::Reply HostileReply(Rng& rng, std::string& bytes, size_t noiseBytes)
{
    if (rng.OneIn(10)) {
        bytes.resize(rng.Below(noiseBytes));
        for (char& c : bytes)
            c = static_cast<char>(rng.Next());
    }
    LocalHttpServer::Reply reply;
    reply.body = bytes;
    switch (rng.Below(8)) {
    case 0:
        reply.kind = LocalHttpServer::Reply::cut;
        break;
    case 1:
        reply.kind = LocalHttpServer::Reply::raw;
        break;
    case 2:
        reply.kind = LocalHttpServer::Reply::hangUp;
        break;
    default:
        reply.kind = LocalHttpServer::Reply::answer;
        break;
    }
    return reply;
}
