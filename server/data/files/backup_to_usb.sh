#!/bin/sh
# Copies settings, channel lists and plug-in settings to a USB stick.
# Restore: copy the folder back and restart the box.
DEST=/media/usb/orbivox-backup-$(date +%Y%m%d)
if [ ! -d /media/usb ]; then
  echo "no USB stick mounted" >&2
  exit 1
fi
mkdir -p "$DEST"
cp -a /var/tuxbox/config "$DEST/" 2>/dev/null
cp -a /var/keys "$DEST/" 2>/dev/null
echo "backup written to $DEST"
