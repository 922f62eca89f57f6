// The module's settings, before view.js and the module's own script run.
'use strict';
var Module = {
  printErr: (text) => console.warn(text),
};
