#pragma once

#include <QString>
#include <QVariantMap>
#include <string>

#include "IRemoteTransport.h"

// The media-player interface's texts for player 1: its PlaybackStatus and its Metadata.
QString playbackStatusOf(IRemoteTransport::State state);
QVariantMap metadataOf(const std::string& file);
