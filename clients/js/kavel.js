/*
 * kavel.js: the page side of the Kavel print service (`kavel serve`).
 *
 *   <script src="http://127.0.0.1:17117/kavel.js"></script>
 *   const KAVEL = await Kavel.connect();            // or Kavel.connect({port: 17117})
 *   KAVEL.PRINT_INIT("order 12");
 *   KAVEL.ADD_PRINT_TEXT(10, 10, 300, 30, "Hello");
 *   const printed = await KAVEL.PRINT();
 *
 * Every member of the control is there, in any letter case; each call returns a promise.
 * Calls are sent at once and run in the order they were made. No dependencies; as a
 * classic script it defines the global Kavel, as an ES module (/kavel.mjs) it exports it.
 */
(function (global) {
  'use strict';

  var DEFAULT_PORT = 17117;
  var UNDEFINED = { $: 'undefined' };
  var BACKOFF_FIRST_MS = 500;
  var BACKOFF_MAX_MS = 10000;

  function notRunning(port) {
    return new Error(
      'The Kavel print service is not running on this computer (port ' + port + '). ' +
      'Start it with "kavel serve", or install it to start with the desktop ' +
      '(scripts/install-service.sh).');
  }

  function encodeArgs(args) {
    var out = [];
    for (var i = 0; i < args.length; i++) {
      var a = args[i];
      out.push(a === undefined || typeof a === 'function' || typeof a === 'symbol' ? UNDEFINED : a);
    }
    // Trailing undefined arguments are what missing ones are anyway.
    while (out.length && out[out.length - 1] === UNDEFINED) out.pop();
    return out;
  }

  function Connection(options) {
    this.port = options.port || DEFAULT_PORT;
    this.host = options.host || '127.0.0.1';
    this.options = options;
    this.nextId = 1;
    this.pending = {};
    this.listeners = {};
    this.members = {};
    this.ws = null;
    this.ready = false;
    this.closedByPage = false;
    this.everConnected = false;
    this.backoff = BACKOFF_FIRST_MS;
    this.lostReported = false;
  }

  Connection.prototype.url = function () {
    var host = this.host.indexOf(':') >= 0 ? '[' + this.host + ']' : this.host;
    return 'ws://' + host + ':' + this.port + '/';
  };

  // Opens the socket and greets the service; resolves once the service answered.
  Connection.prototype.open = function () {
    var self = this;
    return new Promise(function (resolve, reject) {
      var settled = false;
      var refusal = null;
      var ws;
      try {
        ws = new WebSocket(self.url());
      } catch (e) {
        reject(notRunning(self.port));
        return;
      }
      self.ws = ws;
      ws.onopen = function () {
        var id = self.nextId++;
        self.pending[id] = {
          resolve: function (hello) {
            self.members = {};
            (hello.members || []).forEach(function (m) { self.members[m.name.toLowerCase()] = m; });
            self.preview = hello.preview;
            self.ready = true;
            self.backoff = BACKOFF_FIRST_MS;
            settled = true;
            resolve();
          },
          reject: function (e) { settled = true; reject(e); }
        };
        ws.send(JSON.stringify({ id: id, op: 'hello', path: location.pathname + location.search }));
      };
      ws.onmessage = function (e) {
        var message;
        try { message = JSON.parse(e.data); } catch (x) { return; }
        if (message.event === 'refused') { refusal = new Error(message.error); return; }
        self.received(message);
      };
      ws.onclose = function (e) {
        var wasReady = self.ready;
        self.ready = false;
        self.failPending(refusal || new Error('the connection to the Kavel print service was lost'));
        if (!settled) {
          settled = true;
          reject(refusal || (e.code === 4003 || e.code === 4029 ? new Error(e.reason) : notRunning(self.port)));
          return;
        }
        if (refusal || self.closedByPage) return;
        if (wasReady) self.lost();
      };
    });
  };

  Connection.prototype.lost = function () {
    if (!this.lostReported) {
      this.lostReported = true;
      if (global.console) global.console.error(notRunning(this.port).message);
      this.emit({ event: 'connection', state: 'lost' });
    }
    var self = this;
    setTimeout(function () {
      if (self.closedByPage) return;
      self.open().then(function () {
        self.lostReported = false;
        self.emit({ event: 'connection', state: 'restored' });
      }, function () {
        self.backoff = Math.min(self.backoff * 2, BACKOFF_MAX_MS);
        self.lost();
      });
    }, this.backoff);
  };

  Connection.prototype.failPending = function (error) {
    var pending = this.pending;
    this.pending = {};
    Object.keys(pending).forEach(function (id) { pending[id].reject(error); });
  };

  Connection.prototype.received = function (message) {
    var self = this;
    (message.messages || []).forEach(function (text) {
      if (self.options.onMessage) self.options.onMessage(text);
      else if (global.console) global.console.warn('Kavel: ' + text);
    });
    if (message.event !== undefined) {
      if (message.event === 'preview') this.showPreview(message);
      this.emit(message);
      return;
    }
    var waiting = this.pending[message.id];
    if (!waiting) return;
    delete this.pending[message.id];
    if (message.error !== undefined) {
      var error = new Error(message.error);
      error.messages = message.messages || [];
      waiting.reject(error);
    } else {
      waiting.resolve(message.result);
    }
  };

  // Sends one request; the promise settles with its answer.
  Connection.prototype.request = function (fields) {
    var self = this;
    if (this.closedByPage) return Promise.reject(new Error('the connection was closed by the page'));
    if (!this.ready) return Promise.reject(notRunning(this.port));
    return new Promise(function (resolve, reject) {
      var id = self.nextId++;
      fields.id = id;
      self.pending[id] = { resolve: resolve, reject: reject };
      self.ws.send(JSON.stringify(fields));
    });
  };

  Connection.prototype.emit = function (message) {
    var list = (this.listeners[message.event] || []).concat(this.listeners['*'] || []);
    if (this.options.onEvent) list.push(this.options.onEvent);
    list.forEach(function (handler) {
      try { handler(message); } catch (e) { if (global.console) global.console.error(e); }
    });
  };

  // ---- The embedded preview: page pictures the service draws, with a small toolbar. ----

  Connection.prototype.showPreview = function (info) {
    var host = this.options.preview;
    if (!host || typeof document === 'undefined') return;
    var self = this;
    var state = { page: 1, zoom: 1 };
    host.textContent = '';
    var bar = document.createElement('div');
    bar.className = 'kavel-preview-toolbar';
    var view = document.createElement('div');
    view.className = 'kavel-preview-pages';
    view.style.overflow = 'auto';
    var img = document.createElement('img');
    img.className = 'kavel-preview-page';
    img.alt = 'page';
    img.style.boxShadow = '0 0 4px #888';
    img.style.background = '#fff';
    view.appendChild(img);
    var label = document.createElement('span');
    label.className = 'kavel-preview-label';
    function button(text, name, action) {
      var b = document.createElement('button');
      b.type = 'button';
      b.textContent = text;
      b.dataset.kavel = name;
      b.addEventListener('click', action);
      bar.appendChild(b);
      return b;
    }
    function draw() {
      var fit = Math.max(100, (host.clientWidth || 600) - 24);
      var width = Math.round(fit * state.zoom);
      img.style.width = width + 'px';
      img.src = info.base + state.page + '.png?width=' + Math.round(width * (global.devicePixelRatio || 1)) +
        '&serial=' + info.serial;
      label.textContent = ' ' + state.page + ' / ' + info.pages + ' ';
    }
    button('\u23EE', 'first', function () { state.page = 1; draw(); });
    button('\u25C0', 'previous', function () { if (state.page > 1) { state.page--; draw(); } });
    bar.appendChild(label);
    button('\u25B6', 'next', function () { if (state.page < info.pages) { state.page++; draw(); } });
    button('\u23ED', 'last', function () { state.page = info.pages; draw(); });
    button('\u2212', 'zoom-out', function () { state.zoom = Math.max(0.25, state.zoom / 1.25); draw(); });
    button('+', 'zoom-in', function () { state.zoom = Math.min(4, state.zoom * 1.25); draw(); });
    button('\u2194', 'fit', function () { state.zoom = 1; draw(); });
    button('Print', 'print', function () {
      self.request({ op: 'previewPrint' }).then(function (printed) {
        self.emit({ event: 'previewPrinted', printed: printed });
      }, function (e) { if (global.console) global.console.error(e); });
    });
    host.dataset.kavelPages = String(info.pages);
    host.appendChild(bar);
    host.appendChild(view);
    draw();
  };

  // ---- The control object ---------------------------------------------------------------

  function controlOf(connection) {
    var helpers = {
      on: function (event, handler) {
        (connection.listeners[event] = connection.listeners[event] || []).push(handler);
      },
      off: function (event, handler) {
        var list = connection.listeners[event] || [];
        var at = list.indexOf(handler);
        if (at >= 0) list.splice(at, 1);
      },
      close: function () {
        connection.closedByPage = true;
        if (connection.ws) connection.ws.close(1000);
      }
    };
    return new Proxy({}, {
      get: function (target, name) {
        if (typeof name !== 'string') return undefined;
        // Not a thenable: awaiting the control (or the promise of connect) calls nothing.
        if (name === 'then' || name === 'toJSON' || name in Object.prototype) return target[name];
        if (Object.prototype.hasOwnProperty.call(helpers, name)) return helpers[name];
        var member = connection.members[name.toLowerCase()];
        if (member && member.property) return connection.request({ get: member.name });
        return function () {
          // An unknown name goes to the service, whose error names the closest member.
          return connection.request({ call: member ? member.name : name, args: encodeArgs(arguments) });
        };
      },
      set: function (target, name, value) {
        var member = typeof name === 'string' ? connection.members[name.toLowerCase()] : null;
        if (!member || !member.property) throw new TypeError('the control has no property ' + String(name));
        connection.request({ put: member.name, args: encodeArgs([value]) }).catch(function (e) {
          if (global.console) global.console.error(e);
        });
        return true;
      },
      has: function (target, name) {
        return typeof name === 'string' &&
          (Object.prototype.hasOwnProperty.call(helpers, name) || !!connection.members[name.toLowerCase()]);
      }
    });
  }

  var Kavel = {
    defaultPort: DEFAULT_PORT,
    // options: port, host (127.0.0.1), preview (an element for the embedded preview),
    // onEvent(event), onMessage(text) (default: console.warn).
    connect: function (options) {
      var connection = new Connection(options || {});
      return connection.open().then(function () { return controlOf(connection); });
    }
  };

  global.Kavel = Kavel;
})(typeof globalThis !== 'undefined' ? globalThis : this);
