// Standard input and output of a game compiled for the web, handed to the
// page (see page.js), which shows what the game writes and takes the
// player's answers.
//
// The page provides, on the module object:
//   yarnletWrite(bytes)         bytes the game wrote to standard output
//   yarnletRead(max, deliver)   calls deliver(bytes) with at most max bytes
//                               of typed input, at once or when the player
//                               has typed a line; no bytes is end of input
//   yarnletStory()              the next line the game writes is its story
mergeInto(LibraryManager.library, {
  // The kit's mark_story.
  yarnlet_story__sig: 'v',
  yarnlet_story: function() {
    Module['yarnletStory']();
  },

  fd_write: function(fd, iov, iovcnt, pnum) {
    var num = 0;
    for (var i = 0; i < iovcnt; i++) {
      var ptr = HEAP32[(iov + i * 8) >> 2];
      var len = HEAP32[(iov + i * 8 + 4) >> 2];
      // A copy: the game's memory may move before the page is done with it.
      var bytes = HEAPU8.slice(ptr, ptr + len);
      if (fd === 1) Module['yarnletWrite'](bytes);
      else if (fd === 2) err(String.fromCharCode.apply(null, bytes));
      num += len;
    }
    HEAP32[pnum >> 2] = num;
    return 0;
  },

  // A read blocks the game until the player has typed a line, as on a
  // terminal. Asyncify suspends the game here and, when the input is
  // there, calls this import again from its first line to resume; so the
  // suspension must come before anything is taken from the input, or the
  // second call would take it again.
  fd_read__deps: ['$Asyncify'],
  fd_read: function(fd, iov, iovcnt, pnum) {
    return Asyncify.handleSleep(function(wakeUp) {
      var room = 0;
      for (var i = 0; i < iovcnt; i++) room += HEAP32[(iov + i * 8 + 4) >> 2];
      if (fd !== 0 || room === 0) {
        HEAP32[pnum >> 2] = 0;
        wakeUp(0);
        return;
      }
      Module['yarnletRead'](room, function(bytes) {
        var done = 0;
        for (var i = 0; i < iovcnt && done < bytes.length; i++) {
          var ptr = HEAP32[(iov + i * 8) >> 2];
          var len = Math.min(HEAP32[(iov + i * 8 + 4) >> 2], bytes.length - done);
          HEAPU8.set(bytes.subarray(done, done + len), ptr);
          done += len;
        }
        HEAP32[pnum >> 2] = done;
        wakeUp(0);
      });
    });
  },
});
