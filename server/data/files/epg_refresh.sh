#!/bin/sh
# Nightly EPG refresh: wakes the box at 04:00 (set a timer), tunes the
# guide transponder for ten minutes and saves the cache.
# Install as /var/bin/epg_refresh.sh and call it from cron.
GUIDE_CHANNEL=1
LOG=/var/log/epg_refresh.log
echo "$(date) start" >> "$LOG"
wget -q -O /dev/null "http://127.0.0.1/api/zap?channel=$GUIDE_CHANNEL"
sleep 600
wget -q -O /dev/null "http://127.0.0.1/api/guide?save=1"
echo "$(date) done" >> "$LOG"
