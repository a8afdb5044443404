#!/bin/sh
# Starts the cam daemon at boot once the tuner is ready.
# Put it in /var/etc/init.d and make it executable.
CAM=/var/bin/ferrocam
sleep 5
if [ -x "$CAM" ]; then
  "$CAM" -c /var/etc/ferrocam.cfg &
  echo "cam started"
else
  echo "no cam installed" >&2
fi
